// Start-up of VantrelZURaduHelper.exe: restart registration, the single-instance mutex, then
// the hidden window until the session ends or someone ends the process.
#include "helper_app.h"

#include <commctrl.h>

#include "helper_dlg.h"
#include "win/handles.h"
#include "win/program.h"

namespace norvex::helper {
namespace {

constexpr wchar_t kMutexName[] = L"norvextool_helperExist";

}  // namespace

Cnorvextool_helperApp::Cnorvextool_helperApp()
    : modulePath_(norvex::win::ModulePath()), name_(norvex::win::ProgramName(modulePath_)) {}

Cnorvextool_helperApp& Cnorvextool_helperApp::Instance() {
  static Cnorvextool_helperApp app;
  return app;
}

BOOL Cnorvextool_helperApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  // Restart after a crash, a hang or an update, with no command line; no recovery callback.
  ::RegisterApplicationRestart(nullptr, 0);

  norvex::win::unique_handle running(::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kMutexName));
  if (running) return FALSE;  // another helper watches this session
  // Held, never owned, until the process ends: its existence marks a running helper.
  norvex::win::unique_handle mutex(::CreateMutexW(nullptr, FALSE, kMutexName));
  // Two helpers started together can both miss the open; the later creation then finds it.
  if (mutex && ::GetLastError() == ERROR_ALREADY_EXISTS) return FALSE;

  Cnorvextool_helperDlg dialog;
  dialog.RunModal();
  return FALSE;
}

}  // namespace norvex::helper

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  norvex::win::RunApplication<norvex::helper::Cnorvextool_helperApp>();
  return 0;
}
