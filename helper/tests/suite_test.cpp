// Bringing the running suite forward or starting it, against a scripted process table,
// window list and launcher that record what they were asked to do.
#include "suite.h"

#include <gtest/gtest.h>

#include <map>

#include "arrival.h"
#include "data_folder.h"
#include "text.h"

namespace norvex::helper {
namespace {

class ScriptedProcesses : public ProcessTable {
 public:
  std::vector<ProcessEntry> processes;
  std::map<std::uint32_t, std::u16string> images;  // missing: modules cannot be read
  std::vector<ProcessEntry> List() override { return processes; }
  std::optional<std::u16string> FirstModulePath(std::uint32_t pid) override {
    auto it = images.find(pid);
    return it == images.end() ? std::nullopt : std::optional<std::u16string>(it->second);
  }
  bool Terminate(std::uint32_t, std::uint32_t) override {
    ADD_FAILURE() << "the helper never ends a process";
    return false;
  }
};

class RecordingWindows : public WindowList {
 public:
  std::vector<TopLevelWindow> windows;
  std::vector<std::string> calls;
  std::vector<TopLevelWindow> TopLevelWindows() override { return windows; }
  void Restore(std::uintptr_t w) override { calls.push_back("restore " + std::to_string(w)); }
  void MakeForeground(std::uintptr_t w) override { calls.push_back("foreground " + std::to_string(w)); }
  void BringToTop(std::uintptr_t w) override { calls.push_back("top " + std::to_string(w)); }
};

class RecordingLauncher : public Launcher {
 public:
  std::optional<std::uint32_t> elevation = 1;
  std::vector<std::string> calls;
  std::optional<std::uint32_t> ElevationType() override { return elevation; }
  void ShellOpen(const std::u16string& program, const std::u16string& parameters,
                 const std::u16string& folder) override {
    calls.push_back(text::ToUtf8(program) + "|" + text::ToUtf8(parameters) + "|" + text::ToUtf8(folder));
  }
  bool EnableIncreaseQuotaPrivilege() override { return true; }
  std::optional<std::uintptr_t> ShellWindow() override { return std::nullopt; }  // no desktop shell
  std::uint32_t WindowProcessId(std::uintptr_t) override { return 0; }
  bool DuplicateProcessToken(std::uint32_t) override { return false; }
  bool CanCreateWithToken() override { return false; }
  bool CreateWithToken(const std::u16string&, const std::optional<std::u16string>&, const std::u16string&) override {
    calls.push_back("token");
    return false;
  }
  void ReleaseShellToken() override {}
};

const std::u16string kApp = u"C:\\Program Files\\Norvex\\";
const std::u16string kRuntime = u"C:\\Program Files\\Norvex\\jre\\bin\\javaw.exe";

TEST(ActivateRunningSuite, FindsTheInstallationsRuntimeAndShowsItsVisibleWindows) {
  const std::vector<TopLevelWindow> desktop = {
      {11, 40, true}, {12, 41, true}, {13, 40, false}, {14, 40, true}, {15, 42, true}};
  struct Case {
    const char* what;
    std::vector<ProcessEntry> processes;
    std::map<std::uint32_t, std::u16string> images;
    bool running;
    std::vector<std::string> calls;
  } const cases[] = {
      {"nothing runs", {{4, u"explorer.exe"}}, {{4, u"C:\\Windows\\explorer.exe"}}, false, {}},
      {"the runtime, every visible window in turn",
       {{40, u"javaw.exe"}},
       {{40, kRuntime}},
       true,
       {"restore 11", "foreground 11", "top 11", "restore 14", "foreground 14", "top 14"}},
      {"path differs only in case",
       {{40, u"javaw.exe"}},
       {{40, u"c:\\PROGRAM FILES\\norvex\\JRE\\BIN\\JAVAW.EXE"}},
       true,
       {"restore 11", "foreground 11", "top 11", "restore 14", "foreground 14", "top 14"}},
      {"image name in capitals", {{40, u"JAVAW.EXE"}}, {{40, kRuntime}}, false, {}},
      {"javaw.exe of another folder", {{40, u"javaw.exe"}}, {{40, u"C:\\Java\\bin\\javaw.exe"}}, false, {}},
      {"javaw.exe of a folder that merely begins like ours",
       {{40, u"javaw.exe"}},
       {{40, u"C:\\Program Files\\Norvex\\jre\\bin\\javaw.exe.old"}},
       false,
       {}},
      {"launcher alone does not count",
       {{40, u"VantrelZURadu.exe"}},
       {{40, u"C:\\Program Files\\Norvex\\VantrelZURadu.exe"}},
       false,
       {}},
      {"modules unreadable, next one is ours",
       {{41, u"javaw.exe"}, {42, u"javaw.exe"}},
       {{42, kRuntime}},
       true,
       {"restore 15", "foreground 15", "top 15"}},
      {"only the first of two matching processes",
       {{41, u"javaw.exe"}, {42, u"javaw.exe"}},
       {{41, kRuntime}, {42, kRuntime}},
       true,
       {"restore 12", "foreground 12", "top 12"}},
      {"running without a visible window", {{43, u"javaw.exe"}}, {{43, kRuntime}}, true, {}},
  };
  for (const Case& c : cases) {
    ScriptedProcesses processes;
    processes.processes = c.processes;
    processes.images = c.images;
    RecordingWindows windows;
    windows.windows = desktop;
    EXPECT_EQ(ActivateRunningSuite(kApp, processes, windows), c.running) << c.what;
    EXPECT_EQ(windows.calls, c.calls) << c.what;
  }
}

TEST(StartSuite, StartsTheLauncherWithoutArgumentsInTheInstallation) {
  RecordingLauncher launcher;
  StartSuite(kApp, launcher);
  EXPECT_EQ(launcher.calls,
            std::vector<std::string>{"C:\\Program Files\\Norvex\\VantrelZURadu.exe||C:\\Program Files\\Norvex\\"});
  RecordingLauncher elevated;  // elevated without a desktop shell: nothing is started
  elevated.elevation = 2;
  StartSuite(kApp, elevated);
  EXPECT_TRUE(elevated.calls.empty());
}

// The whole handler: the list decides, a running suite is brought forward instead of started,
// and "nohelp" stops even that.
TEST(OnDeviceChange, ListedPhoneBringsTheSuiteForwardOrStartsIt) {
  const DataFolder folder;
  folder.Write("pvids", "1A2B:3C4D\n");
  struct Case {
    const char* what;
    const char16_t* name;
    bool suiteRuns;
    bool nohelp;
    std::size_t windowCalls, launches;
  } const cases[] = {
      {"listed, suite not running", u"USB#VID_1A2B&PID_3C4D#1", false, false, 0, 1},
      {"listed, suite running", u"USB#VID_1A2B&PID_3C4D#1", true, false, 3, 0},
      {"not listed", u"USB#VID_1A2B&PID_FFFF#1", false, false, 0, 0},
      {"listed with \"nohelp\", suite running", u"USB#VID_1A2B&PID_3C4D#1", true, true, 0, 0},
      {"listed with \"nohelp\", suite not running", u"USB#VID_1A2B&PID_3C4D#1", false, true, 0, 0},
  };
  for (const Case& c : cases) {
    if (c.nohelp) folder.Write("nohelp", "");
    HelperWindowData data{u"", u"", kApp, folder.Text()};
    ScriptedProcesses processes;
    if (c.suiteRuns) {
      processes.processes = {{40, u"javaw.exe"}};
      processes.images = {{40, kRuntime}};
    }
    RecordingWindows windows;
    windows.windows = {{11, 40, true}};
    RecordingLauncher launcher;
    OnDeviceChange({kDbtDeviceArrival, kDbtDevtypDeviceInterface, c.name}, data, processes, windows, launcher);
    EXPECT_EQ(windows.calls.size(), c.windowCalls) << c.what;
    EXPECT_EQ(launcher.calls.size(), c.launches) << c.what;
    folder.Remove("nohelp");
  }
}

}  // namespace
}  // namespace norvex::helper
