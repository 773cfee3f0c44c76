// The hidden window: hiding itself, registering for arrivals, filling its folders, and
// handling WM_DEVICECHANGE.
#include "helper_dlg.h"

#include <dbt.h>

#include <cstddef>

#include "arrival.h"
#include "helper_app.h"
#include "resource.h"
#include "win/registry_reader.h"
#include "win/win32_launcher.h"
#include "win/win32_process_table.h"
#include "win/win32_window_list.h"

#ifndef _WIN64
static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == 32, "the 32-bit notification record");
#endif

namespace norvex::helper {
namespace {

using norvex::win::W;

class WindowRegistrar final : public NotificationRegistrar {
 public:
  explicit WindowRegistrar(HWND window) : window_(window) {}
  bool Register(const InterfaceClass& cls) override {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = GUID{cls.data1, cls.data2, cls.data3, {}};
    for (std::size_t i = 0; i < 8; ++i) filter.dbcc_classguid.Data4[i] = cls.data4[i];
    // Never withdrawn: the registrations end with the process.
    return ::RegisterDeviceNotificationW(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE) != nullptr;
  }
  void ShowFailure(const std::u16string& text) override {
    ::MessageBoxW(window_, W(text), W(Cnorvextool_helperApp::Instance().name()), MB_OK | MB_ICONEXCLAMATION);
  }

 private:
  HWND window_;
};

// What the window may read from a WM_DEVICECHANGE: the header only for arrivals, and the
// interface name only within the size the header states.
DeviceNotification ReadDeviceNotification(UINT event, LPARAM data) {
  DeviceNotification notification{event, std::nullopt, {}};
  // Other events carry no header, or none we may read as one.
  if (event != DBT_DEVICEARRIVAL || data == 0) return notification;
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
  if (header->dbch_size < sizeof(DEV_BROADCAST_HDR)) return notification;
  notification.deviceType = header->dbch_devicetype;
  constexpr std::size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
  if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE || header->dbch_size <= nameOffset) return notification;
  const auto* iface = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(data);
  const std::size_t room = (header->dbch_size - nameOffset) / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < room && iface->dbcc_name[length] != L'\0') ++length;
  notification.name.assign(norvex::win::U(iface->dbcc_name), length);
  return notification;
}

}  // namespace

Cnorvextool_helperDlg::Cnorvextool_helperDlg()
    : norvex::win::Dialog(IDD_NORVEXTOOL_HELPER_DIALOG),
      m_hIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

BOOL Cnorvextool_helperDlg::OnInitDialog() {
  // No taskbar button, and a placement that keeps the window hidden.
  const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE);
  ::SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, (exStyle & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW);
  ::SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  ::GetWindowPlacement(hwnd(), &placement);
  placement.flags = WPF_RESTORETOMAXIMIZED;
  placement.showCmd = SW_HIDE;
  ::SetWindowPlacement(hwnd(), &placement);

  SetProgramIcon(m_hIcon);

  WindowRegistrar registrar(hwnd());
  norvex::win::Win32RegistryReader registry;
  InitWatch(*this, registrar, registry, Cnorvextool_helperApp::Instance().modulePath());
  return TRUE;
}

INT_PTR Cnorvextool_helperDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  switch (message) {
    case WM_DEVICECHANGE:
      return OnDeviceChange(static_cast<UINT>(wParam), lParam);
    case WM_COMMAND:
      // OK and Cancel (WM_CLOSE, the session ending) close the window as any dialog's would.
      handled = LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL;
      if (handled) EndDialog(LOWORD(wParam));
      return 0;
    default:
      handled = false;
      return 0;
  }
}

BOOL Cnorvextool_helperDlg::OnDeviceChange(UINT event, LPARAM data) {
  norvex::win::Win32ProcessTable processes;
  win::Win32WindowList windows;
  norvex::win::Win32Launcher launcher;
  helper::OnDeviceChange(ReadDeviceNotification(event, data), *this, processes, windows, launcher);
  return FALSE;
}

}  // namespace norvex::helper
