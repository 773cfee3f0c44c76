// The choices around the shell services, against a recording shell: which service is asked,
// with what, and which answer wins.
#include "host_utilities.h"

#include <gtest/gtest.h>

namespace norvex::native {
namespace {

class RecordingShell final : public HostShell {
 public:
  std::optional<std::string> shellFolder, registryFolder;
  bool accepts = true;
  std::vector<std::string> calls;

  bool IsWindows64() override { return false; }
  bool Open(const ShellRequest& r) override { return Record("open", r); }
  bool OpenAndWait(const ShellRequest& r) override { return Record("wait", r); }
  std::optional<std::string> ShellLocalAppData() override {
    calls.push_back("shell folder");
    return shellFolder;
  }
  std::optional<std::string> RegistryLocalAppData() override {
    calls.push_back("registry folder");
    return registryFolder;
  }

 private:
  bool Record(const char* how, const ShellRequest& r) {
    calls.push_back(std::string(how) + " " + r.file + " " + r.parameters.value_or("<none>") + " " +
                    r.directory.value_or("<none>"));
    return accepts;
  }
};

struct FolderCase {
  std::optional<std::string> shell, registry;
  std::string expected;
  std::vector<std::string> asked;
};

TEST(LocalAppFolder, ShellFirstThenANonEmptyRegistryValue) {
  const FolderCase cases[] = {
      {"C:\\Users\\li\\AppData\\Local", "D:\\other", "C:\\Users\\li\\AppData\\Local", {"shell folder"}},
      {"", "D:\\other", "", {"shell folder"}},  // the shell's answer stands even when empty
      {std::nullopt, "D:\\Profiles\\li\\Local", "D:\\Profiles\\li\\Local", {"shell folder", "registry folder"}},
      {std::nullopt, "", "", {"shell folder", "registry folder"}},
      {std::nullopt, std::nullopt, "", {"shell folder", "registry folder"}},
  };
  for (const FolderCase& c : cases) {
    RecordingShell shell;
    shell.shellFolder = c.shell;
    shell.registryFolder = c.registry;
    EXPECT_EQ(CurrentLocalAppFolder(shell), c.expected)
        << c.shell.value_or("<none>") << " / " << c.registry.value_or("<none>");
    EXPECT_EQ(shell.calls, c.asked);
  }
}

TEST(ShellExecute, WaitsOnlyWhenAskedAndPassesAbsentTextsAsNone) {
  for (bool accepts : {true, false}) {
    RecordingShell shell;
    shell.accepts = accepts;
    EXPECT_EQ(ShellExecuteFile(shell, ShellRequest{"C:\\app.exe", "-x", "C:\\"}, false), accepts);
    EXPECT_EQ(ShellExecuteFile(shell, ShellRequest{"C:\\app.exe", std::nullopt, std::nullopt}, true), accepts);
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"open C:\\app.exe -x C:\\", "wait C:\\app.exe <none> <none>"}));
  }
}

TEST(ShellExecute, NoFileAnswersFalseWithoutAskingTheShell) {
  RecordingShell shell;
  EXPECT_FALSE(ShellExecuteFile(shell, std::nullopt, true));
  EXPECT_FALSE(ShellExecuteFile(shell, std::nullopt, false));
  EXPECT_TRUE(shell.calls.empty());
}

}  // namespace
}  // namespace norvex::native
