// Finding the programs' top-level windows from outside, shared by the test doubles that drive
// them: a window's title and class, a walk over the top-level windows, and a search repeated
// until it succeeds or its time runs out (the programs open their windows a while after start).
#pragma once

#include <string>

#include "win/windows_api.h"

namespace norvex::testdoubles {

// The class of every dialog box, message boxes included.
inline constexpr wchar_t kDialogClass[] = L"#32770";

inline std::wstring WindowTitle(HWND window) {
  wchar_t title[512] = {};
  ::GetWindowTextW(window, title, 512);
  return title;
}

inline std::wstring WindowClass(HWND window) {
  wchar_t cls[64] = {};
  ::GetClassNameW(window, cls, 64);
  return cls;
}

namespace detail {
template <typename Visit>
BOOL CALLBACK VisitWindow(HWND window, LPARAM visit) {
  return (*reinterpret_cast<Visit*>(visit))(window) ? TRUE : FALSE;
}
}  // namespace detail

// Calls visit(window) for each top-level window, shown or not, in the system's order, until
// it returns false.
template <typename Visit>
void ForEachTopLevelWindow(Visit visit) {
  ::EnumWindows(&detail::VisitWindow<Visit>, reinterpret_cast<LPARAM>(&visit));
}

// Runs search() every 50 ms until its result tests true or `timeoutMs` have passed, and
// returns its last result.
template <typename Search>
auto PollUntilFound(DWORD timeoutMs, Search search) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    auto result = search();
    if (result || ::GetTickCount() - start > timeoutMs) return result;
    ::Sleep(50);
  }
}

}  // namespace norvex::testdoubles
