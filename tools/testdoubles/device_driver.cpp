// Plays Windows and the user towards the helper's hidden window in the Wine tests.
//   device_driver arrive|remove|volume TITLE NAME TIMEOUT_MS
//       sends WM_DEVICECHANGE to the dialog window titled TITLE (shown or not): a device
//       interface arrival or removal named NAME, or a volume arrival; returns once it is handled
//   device_driver window TITLE TIMEOUT_MS
//       prints the state of the first top-level window titled TITLE: visible, iconic,
//       foreground, toolwindow, appwindow, pid, and how many windows bear the title
//   device_driver close TITLE TIMEOUT_MS
//       closes the dialog window titled TITLE as the system would (WM_CLOSE)
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "win/windows_api.h"
#include "window_search.h"
// After windows.h, which it needs.
#include <dbt.h>

namespace {

using namespace norvex::testdoubles;

struct Found {
  HWND first = nullptr;
  int count = 0;  // windows bearing the title
  explicit operator bool() const { return first != nullptr; }
};

// The top-level windows titled `title` (dialogs only, when asked), shown or not.
Found WaitFor(const std::wstring& title, bool dialogOnly, DWORD timeoutMs) {
  return PollUntilFound(timeoutMs, [&] {
    Found found;
    ForEachTopLevelWindow([&](HWND window) {
      if (WindowTitle(window) != title || (dialogOnly && WindowClass(window) != kDialogClass)) return true;
      if (!found.first) found.first = window;
      ++found.count;
      return true;
    });
    return found;
  });
}

int Send(const std::wstring& kind, HWND window, const std::wstring& name) {
  std::vector<unsigned char> record;
  WPARAM event = DBT_DEVICEARRIVAL;
  if (kind == L"volume") {
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << 5;
    record.assign(reinterpret_cast<unsigned char*>(&volume), reinterpret_cast<unsigned char*>(&volume) + sizeof volume);
  } else {
    if (kind == L"remove") event = DBT_DEVICEREMOVECOMPLETE;
    const std::size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    record.assign(offset + (name.size() + 1) * sizeof(wchar_t), 0);
    auto* iface = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(record.data());
    iface->dbcc_size = static_cast<DWORD>(record.size());
    iface->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    iface->dbcc_classguid = GUID{0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
    std::memcpy(record.data() + offset, name.c_str(), name.size() * sizeof(wchar_t));
  }
  DWORD_PTR answer = 1;
  if (!::SendMessageTimeoutW(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record.data()), SMTO_NORMAL,
                             20000, &answer)) {
    std::puts("sent=0");
    return 1;
  }
  std::printf("sent=1\nanswer=%d\n", static_cast<int>(answer));
  return 0;
}

int Describe(const Found& found) {
  HWND window = found.first;
  const LONG exStyle = ::GetWindowLongW(window, GWL_EXSTYLE);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  std::printf("visible=%d\niconic=%d\nforeground=%d\ntoolwindow=%d\nappwindow=%d\npid=%lu\ncount=%d\n",
              ::IsWindowVisible(window) ? 1 : 0, ::IsIconic(window) ? 1 : 0, ::GetForegroundWindow() == window ? 1 : 0,
              (exStyle & WS_EX_TOOLWINDOW) ? 1 : 0, (exStyle & WS_EX_APPWINDOW) ? 1 : 0, pid, found.count);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if ((command == L"arrive" || command == L"remove" || command == L"volume") && argc == 5) {
    const Found found = WaitFor(argv[2], true, std::wcstoul(argv[4], nullptr, 10));
    if (!found.first) return std::puts("window=none"), 1;
    return Send(command, found.first, argv[3]);
  }
  if ((command == L"window" || command == L"close") && argc == 4) {
    const Found found = WaitFor(argv[2], command == L"close", std::wcstoul(argv[3], nullptr, 10));
    if (!found.first) return std::puts("window=none"), 1;
    if (command == L"window") return Describe(found);
    ::PostMessageW(found.first, WM_CLOSE, 0, 0);
    return std::puts("closed=1"), 0;
  }
  std::fputs("usage: device_driver arrive|remove|volume TITLE NAME MS | window TITLE MS | close TITLE MS\n", stderr);
  return 2;
}
