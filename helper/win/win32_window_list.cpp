// Top-level windows with their owning process and WS_VISIBLE style bit.
#include "win/win32_window_list.h"

#include "win/windows_api.h"

namespace norvex::helper::win {
namespace {

BOOL CALLBACK Collect(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<std::vector<TopLevelWindow>*>(param);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  const bool visible = (static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)) & WS_VISIBLE) != 0;
  found->push_back(TopLevelWindow{reinterpret_cast<std::uintptr_t>(window), pid, visible});
  return TRUE;
}

HWND Handle(std::uintptr_t window) { return reinterpret_cast<HWND>(window); }

}  // namespace

std::vector<TopLevelWindow> Win32WindowList::TopLevelWindows() {
  std::vector<TopLevelWindow> found;
  ::EnumWindows(&Collect, reinterpret_cast<LPARAM>(&found));
  return found;
}

void Win32WindowList::Restore(std::uintptr_t window) { ::ShowWindow(Handle(window), SW_RESTORE); }
void Win32WindowList::MakeForeground(std::uintptr_t window) { ::SetForegroundWindow(Handle(window)); }
void Win32WindowList::BringToTop(std::uintptr_t window) { ::BringWindowToTop(Handle(window)); }

}  // namespace norvex::helper::win
