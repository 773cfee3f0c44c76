// Building the updater's settings and the start-up decisions taken before the window opens.
#include "settings.h"

#include "file_system.h"
#include "text.h"

namespace norvex::update {

std::u16string FolderOf(const std::u16string& path) {
  const auto slash = path.rfind(u'\\');
  if (slash == std::u16string::npos) return u"\\";
  return path.substr(0, slash + 1);
}

UpdaterSettings InitSettings(const std::u16string& modulePath, RegistryReader& registry) {
  UpdaterSettings settings;
  settings.m_strModuleDir = FolderOf(modulePath);
  const std::u16string localAppData = ReadLocalAppData(registry, 2600);
  settings.m_strUpgradeDir = localAppData.empty() ? kFallbackUpgradeDir : localAppData + u"\\NorvexTool\\upgrade";
  return settings;
}

StartupMode ChooseMode(const UpdaterSettings& settings, const std::vector<std::u16string>& args) {
  if (args.size() < 4) return StartupMode::Quit;
  const std::u16string& word = args[1];
  if (text::EqualsNoCase(word, settings.m_strModeHost) || text::EqualsNoCase(word, settings.m_strModeTool)) {
    return StartupMode::Update;
  }
  if (text::EqualsNoCase(word, settings.m_strModeUpd)) return StartupMode::ReplaceSelf;
  return StartupMode::Quit;
}

void SelectLanguage(UpdaterSettings& settings, const std::u16string& word) {
  static constexpr const char16_t* kLanguages[] = {u"zh_CN", u"en_US", u"zh_TW"};
  for (int index = 0; index < 3; ++index) {
    if (text::EqualsNoCase(word, kLanguages[index])) {
      settings.m_nLanguage = index;
      settings.m_strLanguage = kLanguages[index];
      return;
    }
  }
  settings.m_nLanguage = 1;
  settings.m_strLanguage = u"en_US";
}

void WaitForCaller(HandleWaiter& waiter, const std::u16string& handleText) {
  waiter.WaitAndClose(static_cast<std::intptr_t>(text::WideToInt(handleText)));
}

void StopRunningHelper(UpdaterSettings& settings, ProcessTable& processes) {
  const std::u16string ownHelper = settings.m_strModuleDir + settings.m_strHelperExe;
  for (const ProcessEntry& process : processes.List()) {
    if (process.exeName != settings.m_strHelperExe) continue;  // exact, case counts
    const auto image = processes.FirstModulePath(process.pid);
    if (!image || !text::EqualsNoCase(*image, ownHelper)) continue;
    // Set first: the helper is started again at the end even if ending it fails.
    settings.m_bHelperStopped = true;
    processes.Terminate(process.pid, 0);
    return;
  }
}

void ReplaceSelf(HandleWaiter& waiter, const std::vector<std::u16string>& args) {
  WaitForCaller(waiter, args[3]);
  const std::u16string staged = args[0];
  const std::u16string installed = args.size() > 4 ? args[4] : std::u16string();
  if (!installed.empty()) {
    fs::DeleteOneFile(installed);
    fs::MoveOneFile(staged, installed);
  }
  const auto slash = staged.rfind(u'\\');
  if (slash != std::u16string::npos) fs::RemoveFolder(staged.substr(0, slash));
}

}  // namespace norvex::update
