// Plays the desktop shell for the Wine tests: Wine has no shell window by default, so a
// program started "as the desktop user" has no token to borrow. This creates a window and
// registers it with SetShellWindow, then waits until "<its own path>.stop" appears (two
// minutes at most). It writes "<its own path>.ready" once registered.
#include <string>

#include "win/program.h"
#include "win/windows_api.h"

// Exported by user32 but not declared by the SDK headers.
using SetShellWindowFn = BOOL(WINAPI*)(HWND);

int wmain() {
  const std::wstring self = norvex::win::W(norvex::win::ModulePath());
  const std::wstring stop = self + L".stop", ready = self + L".ready";
  HWND window = ::CreateWindowExW(0, L"STATIC", L"shell", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  const auto setShellWindow = reinterpret_cast<SetShellWindowFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32"), "SetShellWindow")));
  if (!window || !setShellWindow || !setShellWindow(window)) return 1;
  HANDLE marker = ::CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) ::CloseHandle(marker);
  for (int i = 0; i < 1200 && ::GetFileAttributesW(stop.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::Sleep(100);
  }
  ::DestroyWindow(window);
  return 0;
}
