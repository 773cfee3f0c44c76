// The updater's process-wide settings and its start-up decisions: the command line, the
// language, the wait for the caller, stopping the helper and the self-replace mode.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "process_table.h"
#include "registry.h"

namespace norvex::update {

struct UpdaterSettings {
  std::u16string m_strModuleDir;  // installation folder, ends in "\"
  std::u16string m_strHelperExe = u"VantrelZURaduHelper.exe";
  bool m_bHelperStopped = false;
  std::u16string m_strUpdaterExe = u"update.exe";
  std::u16string m_strUpgradeDir;
  std::u16string m_strModeHost = u"host";
  std::u16string m_strModeUpd = u"upd";
  std::u16string m_strModeTool = u"norvextool";
  std::u16string m_strInfoFile;
  std::u16string m_strTempFolderName = u"nvt_update_temp_folder";
  std::u16string m_strSelfFolderName = u"nvt_update_self_folder";
  std::u16string m_strLanguage;
  int m_nLanguage = 0;

  std::u16string BackupFolder() const { return m_strModuleDir + m_strTempFolderName; }
  std::u16string StagingFolder() const { return m_strModuleDir + m_strSelfFolderName; }
};

// The fixed upgrade folder used when the user's "Local AppData" cannot be read.
inline constexpr char16_t kFallbackUpgradeDir[] =
    u"C:\\Documents and Settings\\Administrator\\Local Settings\\Application Data\\NorvexTool\\upgrade";

// Builds the settings from the running executable's full path and the registry.
UpdaterSettings InitSettings(const std::u16string& modulePath, RegistryReader& registry);

// The folder part of a path, cut after its last backslash (a path without one gives "\").
std::u16string FolderOf(const std::u16string& path);

// What the command line asks for.
enum class StartupMode { Quit, Update, ReplaceSelf };
StartupMode ChooseMode(const UpdaterSettings& settings, const std::vector<std::u16string>& args);

void SelectLanguage(UpdaterSettings& settings, const std::u16string& word);

// Waiting on an inherited handle, given by its decimal text. The platform waits without a time
// limit and closes the handle; an invalid value fails at once.
class HandleWaiter {
 public:
  virtual ~HandleWaiter() = default;
  virtual void WaitAndClose(std::intptr_t handle) = 0;
};
void WaitForCaller(HandleWaiter& waiter, const std::u16string& handleText);

// Ends the helper that runs from this installation, if any (at most one process).
void StopRunningHelper(UpdaterSettings& settings, ProcessTable& processes);

// The "upd" mode: waits for the previous updater, then moves the staged copy (position 0)
// over the installed one (position 4) and removes the staging folder. Failures are skipped.
void ReplaceSelf(HandleWaiter& waiter, const std::vector<std::u16string>& args);

}  // namespace norvex::update
