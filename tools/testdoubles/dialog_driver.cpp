// Reads and presses the programs' windows from outside, as a user would, for the Wine tests.
//   dialog_driver box CAPTION ok|cancel|none TIMEOUT_MS [STATUS_ID]
//       waits for a message box with this caption, prints its text, buttons, icon and the
//       owner window's status line (control STATUS_ID, 1002 unless given) and bar position
//       (control 1001), then presses the button (none: leaves it open)
//   dialog_driver harass TITLE TIMEOUT_MS
//       waits for a top-level window with this title, tries Escape, Enter, Alt+F4, the close
//       box and WM_CLOSE on it, and prints after each whether it is still open (the system
//       menu's state cannot be read from another process under Wine: menus are per process)
//   dialog_driver text TITLE CONTROL_ID TIMEOUT_MS
//       prints the text of a control of the window with this title
//   dialog_driver controls TITLE TIMEOUT_MS ID...
//       prints "ID=text" and "ID.enabled=yes|no" for each control of the window with this title
//   dialog_driver press TITLE ID TIMEOUT_MS
//       clicks a button of the window with this title (posted, so a box it opens does not block)
//   dialog_driver point TITLE ID TIMEOUT_MS
//       prints "x=… y=…", the screen position of the control's centre (where to drop on it)
//   dialog_driver wait TITLE ID enabled|disabled TIMEOUT_MS
//       waits until the control is in that state; fails when the time runs out
// Texts are printed as UTF-8 with CR and LF written as \r and \n.
#include <cstdio>
#include <string>

#include "text.h"
#include "win/windows_api.h"
#include <commctrl.h>

#include "window_search.h"

using norvex::win::ToU16;
using namespace norvex::testdoubles;

namespace {

HWND WaitFor(const std::wstring& title, bool messageBox, DWORD timeoutMs) {
  return PollUntilFound(timeoutMs, [&] {
    HWND found = nullptr;
    ForEachTopLevelWindow([&](HWND window) {
      if (!::IsWindowVisible(window) || WindowTitle(window) != title) return true;
      const bool isBox = WindowClass(window) == kDialogClass && ::GetDlgItem(window, 0xFFFF) != nullptr;
      if (isBox != messageBox) return true;
      found = window;
      return false;
    });
    return found;
  });
}

std::string Escaped(const std::u16string& text) {
  std::string out;
  for (char c : norvex::text::ToUtf8(text)) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else out += c;
  }
  return out;
}

std::u16string ControlText(HWND window, int id) {
  wchar_t buffer[2048] = {};
  ::GetDlgItemTextW(window, id, buffer, 2048);
  return ToU16(buffer);
}

int Box(const std::wstring& caption, const std::wstring& answer, DWORD timeoutMs, int statusId) {
  HWND box = WaitFor(caption, true, timeoutMs);
  if (!box) {
    std::puts("box=none");
    return 1;
  }
  HWND owner = ::GetWindow(box, GW_OWNER);
  std::string buttons;
  if (::GetDlgItem(box, IDOK)) buttons += "OK";
  if (::GetDlgItem(box, IDCANCEL)) buttons += buttons.empty() ? "Cancel" : ",Cancel";
  // The message box's icon control: 0x14 on Windows, 0x440 in Wine.
  HWND icon = ::GetDlgItem(box, 0x14) ? ::GetDlgItem(box, 0x14) : ::GetDlgItem(box, 0x440);
  const bool hasIcon = icon && ::IsWindowVisible(icon) && ::SendMessageW(icon, STM_GETICON, 0, 0) != 0;
  std::printf("text=%s\nbuttons=%s\nicon=%s\n", Escaped(ControlText(box, 0xFFFF)).c_str(), buttons.c_str(),
              hasIcon ? "yes" : "no");
  if (owner) {
    std::printf("owner_status=%s\nowner_position=%d\n", Escaped(ControlText(owner, statusId)).c_str(),
                static_cast<int>(::SendDlgItemMessageW(owner, 1001, PBM_GETPOS, 0, 0)));
  }
  std::fflush(stdout);
  if (answer == L"ok" || answer == L"cancel") {
    const int id = answer == L"ok" ? IDOK : IDCANCEL;
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
  }
  return 0;
}

int Harass(const std::wstring& title, DWORD timeoutMs) {
  HWND window = WaitFor(title, false, timeoutMs);
  if (!window) {
    std::puts("window=none");
    return 1;
  }
  struct Attempt {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  } const attempts[] = {
      {"escape", WM_KEYDOWN, VK_ESCAPE, 0x00010001},
      {"enter", WM_KEYDOWN, VK_RETURN, 0x001C0001},
      {"alt-f4", WM_SYSCOMMAND, SC_CLOSE, 0},
      {"close-box", WM_SYSCOMMAND, SC_CLOSE | 0x2, MAKELPARAM(10, 10)},
      {"wm-close", WM_CLOSE, 0, 0},
  };
  for (const auto& attempt : attempts) {
    // Keys go to the focused control's queue, where a real key press would arrive.
    HWND target = window;
    if (attempt.message == WM_KEYDOWN) {
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      if (::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus)
        target = info.hwndFocus;
    }
    ::PostMessageW(target, attempt.message, attempt.wParam, attempt.lParam);
    ::Sleep(300);
    std::printf("%s=%s\n", attempt.name, ::IsWindow(window) ? "open" : "closed");
  }
  return 0;
}

int Controls(HWND window, int count, wchar_t** ids) {
  for (int i = 0; i < count; ++i) {
    const int id = std::wcstol(ids[i], nullptr, 10);
    HWND control = ::GetDlgItem(window, id);
    if (!control) {
      std::printf("%d=<missing>\n", id);
      continue;
    }
    std::printf("%d=%s\n%d.enabled=%s\n", id, Escaped(ControlText(window, id)).c_str(), id,
                ::IsWindowEnabled(control) ? "yes" : "no");
  }
  return 0;
}

int WaitForState(HWND window, int id, bool enabled, DWORD timeoutMs) {
  const auto reached = [&] { return static_cast<bool>(::IsWindowEnabled(::GetDlgItem(window, id))) == enabled; };
  if (PollUntilFound(timeoutMs, reached)) return 0;
  std::printf("state=timeout\n");
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"box" && (argc == 5 || argc == 6)) {
    return Box(argv[2], argv[3], std::wcstoul(argv[4], nullptr, 10),
               argc == 6 ? std::wcstol(argv[5], nullptr, 10) : 1002);
  }
  const bool onControl = (command == L"press" || command == L"point") && argc == 5;
  if ((command == L"controls" && argc >= 4) || onControl || (command == L"wait" && argc == 6)) {
    const wchar_t* timeout = command == L"controls" ? argv[3] : argv[argc - 1];
    HWND window = WaitFor(argv[2], false, std::wcstoul(timeout, nullptr, 10));
    if (!window) {
      std::puts("window=none");
      return 1;
    }
    if (command == L"controls") return Controls(window, argc - 4, argv + 4);
    const int id = std::wcstol(argv[3], nullptr, 10);
    if (command == L"wait")
      return WaitForState(window, id, std::wstring(argv[4]) == L"enabled", std::wcstoul(argv[5], nullptr, 10));
    if (command == L"point") {
      RECT rect{};
      if (!::GetWindowRect(::GetDlgItem(window, id), &rect)) return 1;
      std::printf("x=%ld\ny=%ld\n", (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
      return 0;
    }
    ::PostMessageW(::GetDlgItem(window, id), BM_CLICK, 0, 0);
    return 0;
  }
  if (command == L"harass" && argc == 4) return Harass(argv[2], std::wcstoul(argv[3], nullptr, 10));
  if (command == L"text" && argc == 5) {
    HWND window = WaitFor(argv[2], false, std::wcstoul(argv[4], nullptr, 10));
    if (!window) return 1;
    std::printf("%s\n", Escaped(ControlText(window, std::wcstol(argv[3], nullptr, 10))).c_str());
    return 0;
  }
  std::fputs(
      "usage: dialog_driver box CAPTION ok|cancel|none MS [STATUS_ID] | harass TITLE MS | text TITLE ID MS | "
      "controls TITLE MS ID... | press TITLE ID MS | point TITLE ID MS | wait TITLE ID enabled|disabled MS\n",
      stderr);
  return 2;
}
