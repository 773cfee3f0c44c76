// Start-up decisions: settings, command line, language, helper stopping, self-replace.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "file_system.h"
#include "settings.h"
#include "test_folder.h"
#include "text.h"

namespace norvex::update {
namespace {

class ScriptedRegistry : public RegistryReader {
 public:
  std::optional<std::u16string> localAppData;
  std::optional<std::u16string> ReadText(RegistryRoot root, std::u16string_view key, std::u16string_view name,
                                         std::size_t bufferBytes) override {
    EXPECT_EQ(root, RegistryRoot::CurrentUser);
    EXPECT_EQ(key, u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
    EXPECT_EQ(name, u"Local AppData");
    EXPECT_EQ(bufferBytes, 2600u);
    return localAppData;
  }
};

TEST(Settings, InstallationAndUpgradeFolders) {
  ScriptedRegistry registry;
  registry.localAppData = u"C:\\Users\\王\\AppData\\Local";
  UpdaterSettings s = InitSettings(u"D:\\Norvex Tool\\update.exe", registry);
  EXPECT_EQ(s.m_strModuleDir, u"D:\\Norvex Tool\\");
  EXPECT_EQ(s.m_strUpgradeDir, u"C:\\Users\\王\\AppData\\Local\\NorvexTool\\upgrade");
  EXPECT_EQ(s.BackupFolder(), u"D:\\Norvex Tool\\nvt_update_temp_folder");
  EXPECT_EQ(s.StagingFolder(), u"D:\\Norvex Tool\\nvt_update_self_folder");
  EXPECT_FALSE(s.m_bHelperStopped);
  EXPECT_EQ(s.m_nLanguage, 0);

  for (auto missing : {std::optional<std::u16string>(), std::optional<std::u16string>(u"")}) {
    registry.localAppData = missing;
    EXPECT_EQ(InitSettings(u"update.exe", registry).m_strUpgradeDir, kFallbackUpgradeDir);
  }
  EXPECT_EQ(InitSettings(u"update.exe", registry).m_strModuleDir, u"\\");
}

TEST(Settings, CommandLineModes) {
  const UpdaterSettings s;
  struct Case {
    std::vector<std::u16string> args;
    StartupMode mode;
  } const cases[] = {
      {{u"update.exe", u"host", u"zh_CN"}, StartupMode::Quit},
      {{u"update.exe", u"host", u"zh_CN", u"0"}, StartupMode::Update},
      {{u"update.exe", u"HOST", u"zh_tw", u"0", u"info"}, StartupMode::Update},
      {{u"update.exe", u"NorvexTool", u"fr_FR", u"0", u"info"}, StartupMode::Update},
      {{u"update.exe", u"UPD", u"x", u"0", u"C:\\update.exe"}, StartupMode::ReplaceSelf},
      {{u"update.exe", u"update", u"zh_CN", u"0", u"info"}, StartupMode::Quit},
      {{u"update.exe", u"hostx", u"zh_CN", u"0", u"info"}, StartupMode::Quit},
  };
  for (const auto& c : cases) EXPECT_EQ(ChooseMode(s, c.args), c.mode) << text::ToUtf8(c.args[1]);
}

TEST(Settings, LanguageKeepsTheTablesSpelling) {
  struct Case {
    std::u16string word;
    int index;
    std::u16string stored;
  } const cases[] = {
      {u"zh_CN", 0, u"zh_CN"}, {u"ZH_cn", 0, u"zh_CN"}, {u"en_US", 1, u"en_US"},
      {u"zh_tw", 2, u"zh_TW"}, {u"fr_FR", 1, u"en_US"}, {u"", 1, u"en_US"},
  };
  for (const auto& c : cases) {
    UpdaterSettings s;
    SelectLanguage(s, c.word);
    EXPECT_EQ(s.m_nLanguage, c.index) << text::ToUtf8(c.word);
    EXPECT_EQ(s.m_strLanguage, c.stored) << text::ToUtf8(c.word);
  }
}

class RecordingWaiter : public HandleWaiter {
 public:
  std::vector<std::intptr_t> waited;
  void WaitAndClose(std::intptr_t handle) override { waited.push_back(handle); }
};

TEST(Settings, WaitForCallerReadsTheHandleLikeTheCLibrary) {
  RecordingWaiter waiter;
  for (auto text : {u" 1234", u"0", u"abc", u"88x"}) WaitForCaller(waiter, text);
  EXPECT_EQ(waiter.waited, (std::vector<std::intptr_t>{1234, 0, 0, 88}));
}

class ScriptedProcesses : public ProcessTable {
 public:
  std::vector<ProcessEntry> processes;
  std::map<std::uint32_t, std::u16string> images;
  std::vector<std::string> calls;
  std::vector<ProcessEntry> List() override { return processes; }
  std::optional<std::u16string> FirstModulePath(std::uint32_t pid) override {
    auto it = images.find(pid);
    if (it == images.end()) return std::nullopt;
    return it->second;
  }
  bool Terminate(std::uint32_t pid, std::uint32_t exitCode) override {
    calls.push_back("terminate " + std::to_string(pid) + " " + std::to_string(exitCode));
    return false;  // even a failed termination leaves the flag set
  }
};

TEST(Settings, StopRunningHelperEndsOnlyThisInstallationsHelper) {
  UpdaterSettings s;
  s.m_strModuleDir = u"C:\\Program Files\\Norvex\\";
  ScriptedProcesses table;
  table.processes = {{10, u"vantrelzuraduhelper.exe"},  // name differs in case: never considered
                     {11, u"VantrelZURaduHelper.exe"},  // another installation
                     {12, u"VantrelZURaduHelper.exe"},  // modules unreadable
                     {13, u"VantrelZURaduHelper.exe"},  // ours, path in other case
                     {14, u"VantrelZURaduHelper.exe"}};  // ours too, but only one is ended
  table.images = {{10, u"C:\\Program Files\\Norvex\\vantrelzuraduhelper.exe"},
                  {11, u"D:\\Other\\VantrelZURaduHelper.exe"},
                  {13, u"c:\\program files\\norvex\\VANTRELZURADUHELPER.EXE"},
                  {14, u"C:\\Program Files\\Norvex\\VantrelZURaduHelper.exe"}};
  StopRunningHelper(s, table);
  EXPECT_TRUE(s.m_bHelperStopped);
  EXPECT_EQ(table.calls, (std::vector<std::string>{"terminate 13 0"}));

  UpdaterSettings other;
  other.m_strModuleDir = u"E:\\Elsewhere\\";
  table.calls.clear();
  StopRunningHelper(other, table);
  EXPECT_FALSE(other.m_bHelperStopped);
  EXPECT_TRUE(table.calls.empty());
}

TEST(Settings, ReplaceSelfMovesTheStagedUpdaterAndRemovesTheStagingFolder) {
  TestFolder dir;
  const std::u16string install = dir.path() + u"\\inst\\";
  const std::u16string staging = install + u"nvt_update_self_folder";
  dir.Write(u"inst\\update.exe", "old");
  dir.Write(u"inst\\nvt_update_self_folder\\update.exe", "new");
  RecordingWaiter waiter;
  ReplaceSelf(waiter, {staging + u"\\update.exe", u"upd", u"zh_CN", u"77", install + u"update.exe"});
  EXPECT_EQ(waiter.waited, std::vector<std::intptr_t>{77});
  EXPECT_EQ(dir.Read(u"inst\\update.exe"), "new");
  EXPECT_FALSE(fs::Exists(staging));

  // A target that does not exist yet still receives the staged updater.
  dir.Write(u"inst\\nvt_update_self_folder\\update.exe", "newer");
  ReplaceSelf(waiter, {staging + u"\\update.exe", u"upd", u"zh_CN", u"0", install + u"fresh.exe"});
  EXPECT_EQ(dir.Read(u"inst\\fresh.exe"), "newer");
  EXPECT_FALSE(fs::Exists(staging));

  // Without position 4 nothing moves and the staging folder stays.
  dir.Write(u"inst\\nvt_update_self_folder\\update.exe", "kept");
  ReplaceSelf(waiter, {staging + u"\\update.exe", u"upd", u"zh_CN", u"0"});
  EXPECT_EQ(dir.Read(u"inst\\nvt_update_self_folder\\update.exe"), "kept");
}

}  // namespace
}  // namespace norvex::update
