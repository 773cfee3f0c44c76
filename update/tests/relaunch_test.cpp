// The exact command lines, folders and registry value the updater hands on when it is done.
#include <gtest/gtest.h>

#include "relaunch.h"
#include "shell_launcher.h"
#include "text.h"

namespace norvex::update {
namespace {

class RecordingLauncher : public ShellOnlyLauncher {
 public:
  std::vector<std::string> started;
  void ShellOpen(const std::u16string& program, const std::u16string& parameters, const std::u16string& folder) override {
    started.push_back(text::ToUtf8(program) + "|" + text::ToUtf8(parameters) + "|" + text::ToUtf8(folder));
  }
};

UpdaterSettings Installed(const std::u16string& dir, const std::u16string& language = u"zh_CN") {
  UpdaterSettings s;
  s.m_strModuleDir = dir;
  SelectLanguage(s, language);
  return s;
}

TEST(Relaunch, HostAndHelperCommandLines) {
  RecordingLauncher launcher;
  const UpdaterSettings s = Installed(u"C:\\Suite\\");
  LaunchHost(s, launcher);
  LaunchHelper(s, launcher);
  EXPECT_EQ(launcher.started,
            (std::vector<std::string>{
                "C:\\Suite\\jre\\bin\\javaw.exe| -Xms128m -Djava.library.path=.\\dlls\\ -jar \"C:\\Suite\\Host.jar\"|C:\\Suite\\",
                "C:\\Suite\\VantrelZURaduHelper.exe||C:\\Suite\\"}));
}

class RecordingRegistry : public RegistryWriter {
 public:
  std::vector<std::u16string> writes;
  bool WriteText(RegistryRoot root, const std::u16string& key, const std::u16string& name, const std::u16string& value) override {
    EXPECT_EQ(root, RegistryRoot::CurrentUser);
    writes.push_back(key + u"|" + name + u"|" + value);
    return true;
  }
};

TEST(Relaunch, RecordsTheVersionEvenWhenEmpty) {
  RecordingRegistry registry;
  RecordProductVersion(u"5.0.2", registry);
  RecordProductVersion(u"", registry);
  EXPECT_EQ(registry.writes, (std::vector<std::u16string>{u"Software\\Norvex\\NorvexTool|ProductVersion|5.0.2",
                                                          u"Software\\Norvex\\NorvexTool|ProductVersion|"}));
}

class RecordingStarter : public SelfReplaceStarter {
 public:
  std::optional<std::intptr_t> handle = 1234;
  std::vector<std::u16string> started;
  std::vector<std::intptr_t> closed;
  std::optional<std::intptr_t> OpenSelfInheritable() override { return handle; }
  bool Start(const std::u16string& line) override {
    started.push_back(line);
    return true;
  }
  void CloseSelf(std::intptr_t h) override { closed.push_back(h); }
};

TEST(Relaunch, SelfReplaceCommandLineKeepsEveryPathInOneToken) {
  RecordingStarter starter;
  StartSelfReplace(Installed(u"C:\\Program Files\\Suite\\", u"zh_tw"), starter);
  ASSERT_EQ(starter.started.size(), 1u);
  EXPECT_EQ(text::ToUtf8(starter.started[0]),
            "\"C:\\Program Files\\Suite\\nvt_update_self_folder\\update.exe\" \"upd\" \"zh_TW\" 1234 "
            "\"C:\\Program Files\\Suite\\update.exe\"");
  EXPECT_EQ(starter.closed, std::vector<std::intptr_t>{1234});
}

TEST(Relaunch, SelfReplaceStartsNothingWithoutAHandleOrWhenTheLineWouldBeCut) {
  RecordingStarter starter;
  starter.handle.reset();
  StartSelfReplace(Installed(u"C:\\Suite\\"), starter);
  EXPECT_TRUE(starter.started.empty());

  starter.handle = 8;
  // 64 fixed characters and the folder twice: a 480-character folder makes a line of 1024,
  // one more than the buffer holds.
  const std::u16string longDir = u"C:\\" + std::u16string(476, u'x') + u"\\";
  ASSERT_EQ(longDir.size(), 480u);
  const UpdaterSettings s = Installed(longDir);
  ASSERT_EQ(SelfReplaceCommandLine(s, 8).value_or(u"").size(), 0u);
  StartSelfReplace(s, starter);
  EXPECT_TRUE(starter.started.empty());
  EXPECT_EQ(starter.closed, std::vector<std::intptr_t>{8});
  const UpdaterSettings shorter = Installed(std::u16string(longDir).erase(3, 1));
  EXPECT_EQ(SelfReplaceCommandLine(shorter, 8).value_or(u"").size(), 1022u);
}

}  // namespace
}  // namespace norvex::update
