// Start-up of update.exe: settings before anything else, then the command line decides
// between quitting, the self-replace run and a normal run with the progress window.
#include "update_app.h"

#include <commctrl.h>

#include "update_dlg.h"
#include "win/handle_waiter.h"
#include "win/program.h"
#include "win/registry_reader.h"
#include "win/win32_process_table.h"

namespace norvex::update {
namespace {

win::Win32RegistryReader theRegistry;

}  // namespace

std::u16string ResourceTexts::Load(int id) {
  const wchar_t* text = nullptr;
  // A length of 0 asks for a pointer into the resource itself, which holds the whole text.
  const int length = ::LoadStringW(::GetModuleHandleW(nullptr), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text ? std::u16string(win::U(text), static_cast<std::size_t>(length)) : std::u16string();
}

CupdateApp::CupdateApp()
    : modulePath_(win::ModulePath()),
      name_(win::ProgramName(modulePath_)),
      settings_(InitSettings(modulePath_, theRegistry)) {}

CupdateApp& CupdateApp::Instance() {
  static CupdateApp app;
  return app;
}

BOOL CupdateApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  static_assert(sizeof(INITCOMMONCONTROLSEX) == 8);
  ::InitCommonControlsEx(&controls);

  const std::vector<std::u16string> args = win::CommandLineArguments();
  Win32HandleWaiter waiter;
  switch (ChooseMode(settings_, args)) {
    case StartupMode::Quit:
      return FALSE;
    case StartupMode::ReplaceSelf:
      ReplaceSelf(waiter, args);
      return FALSE;
    case StartupMode::Update:
      break;
  }
  SelectLanguage(settings_, args[2]);
  WaitForCaller(waiter, args[3]);  // no window yet: invisible until the caller has gone
  settings_.m_strInfoFile = args.size() > 4 ? args[4] : std::u16string();
  win::Win32ProcessTable processes;
  StopRunningHelper(settings_, processes);
  CupdateDlg dialog;
  dialog.RunModal();
  return FALSE;
}

}  // namespace norvex::update

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  // A failure is not shown: the updater ends as it would after a refused command line.
  norvex::win::RunApplication<norvex::update::CupdateApp>();
  return 0;
}
