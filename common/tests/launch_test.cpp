// Every branch of starting a program for the user, against a scripted platform that records
// the calls it receives.
#include <gtest/gtest.h>

#include "launch.h"
#include "text.h"

namespace norvex {
namespace {

class ScriptedLauncher : public Launcher {
 public:
  std::optional<std::uint32_t> elevation = 1;
  bool privilege = true;
  std::optional<std::uintptr_t> shellWindow = 0x1234;
  std::uint32_t shellPid = 77;
  bool duplicated = true;
  bool withToken = true;
  bool created = true;
  std::vector<std::string> calls;

  std::optional<std::uint32_t> ElevationType() override { return elevation; }
  void ShellOpen(const std::u16string& program, const std::u16string& parameters, const std::u16string& folder) override {
    calls.push_back("shell " + text::ToUtf8(program) + " [" + text::ToUtf8(parameters) + "] " + text::ToUtf8(folder));
  }
  bool EnableIncreaseQuotaPrivilege() override {
    calls.push_back("privilege");
    return privilege;
  }
  std::optional<std::uintptr_t> ShellWindow() override { return shellWindow; }
  std::uint32_t WindowProcessId(std::uintptr_t window) override {
    EXPECT_EQ(window, *shellWindow);
    return shellPid;
  }
  bool DuplicateProcessToken(std::uint32_t pid) override {
    calls.push_back("duplicate " + std::to_string(pid));
    return duplicated;
  }
  bool CanCreateWithToken() override { return withToken; }
  bool CreateWithToken(const std::u16string& program, const std::optional<std::u16string>& commandLine,
                       const std::u16string& folder) override {
    std::string line = "token " + text::ToUtf8(program) + " ";
    if (commandLine) {
      line += '[';
      line += text::ToUtf8(*commandLine);
      line += ']';
    } else {
      line += "none";
    }
    calls.push_back(line + " " + text::ToUtf8(folder));
    return created;
  }
  void ReleaseShellToken() override { calls.push_back("release"); }
};

const std::u16string kProgram = u"C:\\Suite\\jre\\bin\\javaw.exe";
const std::u16string kParameters = u" -Xms128m -jar \"C:\\Suite\\Host.jar\"";
const std::u16string kFolder = u"C:\\Suite\\";

TEST(StartNonElevated, ChoosesThePathByElevationType) {
  const std::string shell = "shell C:\\Suite\\jre\\bin\\javaw.exe [ -Xms128m -jar \"C:\\Suite\\Host.jar\"] C:\\Suite\\";
  const std::string token = "token C:\\Suite\\jre\\bin\\javaw.exe [ -Xms128m -jar \"C:\\Suite\\Host.jar\"] C:\\Suite\\";
  struct Case {
    const char* name;
    std::optional<std::uint32_t> elevation;
    std::vector<std::string> calls;
  } const cases[] = {
      {"default token", 1, {shell}},
      {"limited token", 3, {shell}},
      {"query failed", std::nullopt, {shell}},
      {"full administrator", 2, {"privilege", "duplicate 77", token, "release"}},
  };
  for (const auto& c : cases) {
    ScriptedLauncher launcher;
    launcher.elevation = c.elevation;
    StartNonElevated(launcher, kProgram, kParameters, kFolder);
    EXPECT_EQ(launcher.calls, c.calls) << c.name;
  }
}

TEST(LaunchAsDesktopUser, EveryFailureStartsNothing) {
  struct Case {
    const char* name;
    void (*arrange)(ScriptedLauncher&);
    std::vector<std::string> calls;
  } const cases[] = {
      {"privilege missing", [](ScriptedLauncher& l) { l.privilege = false; }, {"privilege"}},
      {"no shell window", [](ScriptedLauncher& l) { l.shellWindow.reset(); }, {"privilege"}},
      {"no owner process", [](ScriptedLauncher& l) { l.shellPid = 0; }, {"privilege"}},
      {"duplication failed", [](ScriptedLauncher& l) { l.duplicated = false; }, {"privilege", "duplicate 77", "release"}},
      {"no CreateProcessWithTokenW", [](ScriptedLauncher& l) { l.withToken = false; }, {"privilege", "duplicate 77", "release"}},
  };
  for (const auto& c : cases) {
    ScriptedLauncher launcher;
    launcher.elevation = kTokenElevationTypeFull;
    c.arrange(launcher);
    EXPECT_FALSE(LaunchAsDesktopUser(launcher, kProgram, kParameters, kFolder)) << c.name;
    EXPECT_EQ(launcher.calls, c.calls) << c.name;
    // Even through StartNonElevated nothing else is tried.
    launcher.calls.clear();
    StartNonElevated(launcher, kProgram, kParameters, kFolder);
    EXPECT_EQ(launcher.calls, c.calls) << c.name;
  }
}

TEST(LaunchAsDesktopUser, ReportsTheCreationAndPassesEmptyParametersAsNoCommandLine) {
  ScriptedLauncher launcher;
  EXPECT_TRUE(LaunchAsDesktopUser(launcher, u"C:\\Suite\\VantrelZURaduHelper.exe", u"", kFolder));
  EXPECT_EQ(launcher.calls, (std::vector<std::string>{"privilege", "duplicate 77",
                                                      "token C:\\Suite\\VantrelZURaduHelper.exe none C:\\Suite\\",
                                                      "release"}));
  launcher.created = false;
  EXPECT_FALSE(LaunchAsDesktopUser(launcher, kProgram, kParameters, kFolder));
}

}  // namespace
}  // namespace norvex
