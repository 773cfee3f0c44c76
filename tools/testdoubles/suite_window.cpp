// Plays the suite's Java runtime for the helper's Wine tests: a process with one top-level
// window titled TITLE, shown minimised ("minimized") or never shown ("hidden"). It writes
// "<its own path>.ready" once the window exists and runs while "<its own path>.stay" exists
// (two minutes at most), answering messages so that others can restore it.
//   suite_window TITLE minimized|hidden
#include <string>

#include "win/program.h"
#include "win/windows_api.h"

namespace {
LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) return 2;
  const std::wstring mode = argv[2];
  const std::wstring self = norvex::win::W(norvex::win::ModulePath());
  const std::wstring stay = self + L".stay", ready = self + L".ready";

  WNDCLASSW cls{};
  cls.lpfnWndProc = &Procedure;
  cls.hInstance = ::GetModuleHandleW(nullptr);
  cls.lpszClassName = L"NorvexSuiteWindow";
  ::RegisterClassW(&cls);
  HWND window = ::CreateWindowExW(0, cls.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW, 50, 50, 300, 200, nullptr,
                                  nullptr, cls.hInstance, nullptr);
  if (!window) return 1;
  if (mode == L"minimized") ::ShowWindow(window, SW_SHOWMINIMIZED);

  HANDLE marker =
      ::CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) ::CloseHandle(marker);
  for (int i = 0; i < 1200 && ::GetFileAttributesW(stay.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
  }
  ::DestroyWindow(window);
  return 0;
}
