// Start-up of sideloader.exe: the folders, the adb server in the background, the package named
// on the command line, then the window until it is closed.
#include "installer_app.h"

#include <commctrl.h>

#include <vector>

#include "installer_dlg.h"
#include "package_icon.h"
#include "win/program.h"
#include "win/registry_reader.h"

namespace norvex::sideloader {
namespace {

// The process-wide objects, made in this order before InitInstance runs: the package record,
// the application (whose folders it fills in) and the install job.
CPackageInfo thePackage;
CInstallerApp theApp;
InstallJob theInstallJob;

// The first argument that is not a switch names the package; the rest are not used.
std::u16string PackageArgument(const std::vector<std::u16string>& args) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (!args[i].starts_with(u"-") && !args[i].starts_with(u"/")) return args[i];
  }
  return {};
}

}  // namespace

std::u16string ResourceTexts::Load(int id) {
  std::vector<wchar_t> buffer(1024);
  const int length =
      ::LoadStringW(::GetModuleHandleW(nullptr), static_cast<UINT>(id), buffer.data(), static_cast<int>(buffer.size()));
  return std::u16string(norvex::win::U(buffer.data()), length > 0 ? static_cast<std::size_t>(length) : 0);
}

void AppMessages::ShowMessage(const std::u16string& text) {
  ::MessageBoxW(owner_, norvex::win::W(text), norvex::win::W(caption_), MB_OK | MB_ICONEXCLAMATION);
}

void ViewRelay::SetStatus(const std::u16string& text) {
  if (InstallerView* view = pDialog.load()) view->SetStatus(text);
}

void ViewRelay::EnableInstall(bool enabled) {
  if (InstallerView* view = pDialog.load()) view->EnableInstall(enabled);
}

void ViewRelay::ShowPrompt(const std::u16string& text) {
  if (InstallerView* view = pDialog.load()) view->ShowPrompt(text);
}

CInstallerApp::CInstallerApp()
    : modulePath_(norvex::win::ModulePath()),
      messages_(norvex::win::ProgramName(modulePath_)),
      inspection_{runner_, texts_, messages_},
      installer_(thePackage, theInstallJob, InstallPorts{runner_, processes_, view_, texts_, workers_}) {
  norvex::win::Win32RegistryReader registry;
  SetupFolders(thePackage, modulePath_, registry);
}

CInstallerApp& CInstallerApp::Instance() { return theApp; }

CPackageInfo& CInstallerApp::package() { return thePackage; }

BOOL CInstallerApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  // The permission list is a rich edit control of riched20's class, which the template names.
  ::LoadLibraryW(L"riched20.dll");
  GdiplusSession pictures;

  workers_.Start([this] { installer_.StartServerAtLaunch(); });

  const std::u16string path = PackageArgument(norvex::win::CommandLineArguments());
  if (path.empty()) {
    thePackage.m_bFileGiven = false;
  } else {
    thePackage.m_strPackagePath = path;
    if (!CheckPackageFile(thePackage, messages_)) {
      thePackage.m_bFileGiven = false;
      return FALSE;
    }
    InspectPackage(thePackage, inspection_);
  }
  CInstallerDlg dialog;
  dialog.RunModal();
  view_.pDialog = nullptr;
  return FALSE;
}

}  // namespace norvex::sideloader

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  norvex::win::RunApplication<norvex::sideloader::CInstallerApp>();
  // A running install worker is not waited for.
  ::ExitProcess(0);
}
