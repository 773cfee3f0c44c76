// The updater program: its process-wide objects and the start-up sequence.
#pragma once

#include <string>
#include <vector>

#include "relaunch.h"
#include "settings.h"
#include "update_texts.h"
#include "upgrade_info.h"
#include "win/registry_writer.h"
#include "win/win32_launcher.h"

namespace norvex::update {

// Texts from the program's string table.
class ResourceTexts final : public TextSource {
 public:
  std::u16string Load(int id) override;
};

class CupdateApp {
 public:
  CupdateApp();
  static CupdateApp& Instance();

  // The start-up sequence; the program ends when it returns.
  BOOL InitInstance();

  UpdaterSettings& settings() { return settings_; }
  UpgradeInfo& upgradeInfo() { return upgradeInfo_; }
  Launcher& launcher() { return launcher_; }
  RegistryWriter& registryWriter() { return registryWriter_; }
  SelfReplaceStarter& selfReplaceStarter() { return selfReplaceStarter_; }
  TextSource& texts() { return texts_; }
  // The application's name, the executable's name without extension, as message box caption.
  const std::u16string& name() const { return name_; }

 private:
  std::u16string modulePath_;
  std::u16string name_;
  UpdaterSettings settings_;
  UpgradeInfo upgradeInfo_;
  win::Win32Launcher launcher_;
  Win32RegistryWriter registryWriter_;
  Win32SelfReplaceStarter selfReplaceStarter_;
  ResourceTexts texts_;
};

}  // namespace norvex::update
