// The installer program: its process-wide objects and the start-up sequence.
#pragma once

#include <atomic>
#include <string>

#include "inspection.h"
#include "install_flow.h"
#include "package_info.h"
#include "sideloader_texts.h"
#include "win/win32_process_table.h"
#include "win/win32_tool_runner.h"
#include "win/windows_api.h"

namespace norvex::sideloader {

// Texts from the program's string table.
class ResourceTexts final : public TextSource {
 public:
  std::u16string Load(int id) override;
};

// The package side's messages: the program's usual OK box with the exclamation icon and the
// program's name as caption, owned by the window once there is one.
class AppMessages final : public PackageMessages {
 public:
  explicit AppMessages(std::u16string caption) : caption_(std::move(caption)) {}
  void ShowMessage(const std::u16string& text) override;
  void SetOwner(HWND owner) { owner_ = owner; }

 private:
  std::u16string caption_;
  HWND owner_ = nullptr;
};

// The install flow reports to the window through this relay: the flow exists (and starts the
// adb server) before the window does, and the window registers itself once it is initialised.
class ViewRelay final : public InstallerView {
 public:
  void SetStatus(const std::u16string& text) override;
  void EnableInstall(bool enabled) override;
  void ShowPrompt(const std::u16string& text) override;
  std::atomic<InstallerView*> pDialog{nullptr};
};

class CInstallerApp {
 public:
  CInstallerApp();
  static CInstallerApp& Instance();

  // The whole life of the program; it ends when this returns.
  BOOL InitInstance();

  CPackageInfo& package();
  Installer& installer() { return installer_; }
  ViewRelay& view() { return view_; }
  AppMessages& messages() { return messages_; }
  InspectionContext& inspection() { return inspection_; }

 private:
  std::u16string modulePath_;
  win::Win32ToolRunner runner_;
  norvex::win::Win32ProcessTable processes_;
  ResourceTexts texts_;
  ThreadWorkers workers_;
  ViewRelay view_;
  AppMessages messages_;
  InspectionContext inspection_;
  Installer installer_;
};

}  // namespace norvex::sideloader
