// The order of questions, clean-up, restore and program starts for every outcome.
#include <gtest/gtest.h>

#include "outcome.h"
#include "shell_launcher.h"
#include "test_folder.h"

namespace norvex::update {
namespace {

// One journal for everything the handlers do, so the order across ports is visible.
struct Journal {
  std::vector<std::string> lines;
  void Add(const std::string& line) { lines.push_back(line); }
};

class ScriptedWindow : public OutcomeWindow {
 public:
  ScriptedWindow(Journal& journal, Answer answer, const TestFolder& dir) : journal_(journal), answer_(answer), dir_(dir) {}
  Answer Ask(const std::u16string& text, Buttons buttons) override {
    journal_.Add(std::string("ask ") + (buttons == Buttons::Ok ? "[OK] " : "[OK/Cancel] ") + text::ToUtf8(text) +
                 (dir_.Has(u"info.dat") || dir_.Has(u"upgrade") ? " (downloads still there)" : ""));
    return buttons == Buttons::Ok ? Answer::Ok : answer_;
  }
  void SetStatus(const std::u16string& status) override { status_ = text::ToUtf8(status); }
  void SetPosition(int position) override { journal_.Add("bar " + std::to_string(position) + " " + status_); }

 private:
  Journal& journal_;
  Answer answer_;
  const TestFolder& dir_;
  std::string status_ = "updating";
};

class JournalLauncher : public ShellOnlyLauncher {
 public:
  explicit JournalLauncher(Journal& journal) : journal_(journal) {}
  void ShellOpen(const std::u16string& program, const std::u16string&, const std::u16string&) override {
    const std::string path = text::ToUtf8(program);
    journal_.Add("start " + path.substr(path.find_last_of("\\/") + 1));
  }

 private:
  Journal& journal_;
};

class JournalRegistry : public RegistryWriter {
 public:
  explicit JournalRegistry(Journal& journal) : journal_(journal) {}
  bool WriteText(RegistryRoot, const std::u16string&, const std::u16string& name, const std::u16string& value) override {
    journal_.Add("registry " + text::ToUtf8(name) + "=" + text::ToUtf8(value));
    return true;
  }

 private:
  Journal& journal_;
};

class JournalSelfReplace : public SelfReplaceStarter {
 public:
  explicit JournalSelfReplace(Journal& journal) : journal_(journal) {}
  std::optional<std::intptr_t> OpenSelfInheritable() override { return 5; }
  bool Start(const std::u16string&) override {
    journal_.Add("self-replace");
    return true;
  }
  void CloseSelf(std::intptr_t) override {}

 private:
  Journal& journal_;
};

struct Case {
  const char* name;
  bool helperStopped;
  Answer answer;
  std::function<void(const OutcomeContext&)> outcome;
  std::vector<std::string> journal;
};

TEST(Outcome, HandlersAskCleanUpAndStartInOrder) {
  const RestoreTexts restore{u"restoring", u"restored?"};
  const Case cases[] = {
      {"failed, OK, helper stopped", true, Answer::Ok, [](const OutcomeContext& c) { OnUpdateFailed(c, u"damaged?"); },
       {"ask [OK/Cancel] damaged?", "start javaw.exe", "start VantrelZURaduHelper.exe"}},
      {"failed, Cancel, helper stopped", true, Answer::Cancel,
       [](const OutcomeContext& c) { OnUpdateFailed(c, u"failed?"); },
       {"ask [OK/Cancel] failed?", "start VantrelZURaduHelper.exe"}},
      {"failed, Cancel, no helper", false, Answer::Cancel, [](const OutcomeContext& c) { OnUpdateFailed(c, u"failed?"); },
       {"ask [OK/Cancel] failed?"}},
      {"done with self-update", true, Answer::Cancel, [](const OutcomeContext& c) { OnUpdateDone(c, true); },
       {"start VantrelZURaduHelper.exe", "registry ProductVersion=7.1", "start javaw.exe", "self-replace"}},
      {"done, no helper", false, Answer::Cancel, [](const OutcomeContext& c) { OnUpdateDone(c, false); },
       {"registry ProductVersion=7.1", "start javaw.exe"}},
      {"restore, OK", true, Answer::Ok, [&](const OutcomeContext& c) { OnUpdateRestore(c, restore); },
       {"ask [OK] restoring", "bar 0 restoring", "bar 50 restoring", "bar 100 restoring",
        "start VantrelZURaduHelper.exe", "ask [OK/Cancel] restored?", "start javaw.exe"}},
      {"restore, Cancel", false, Answer::Cancel, [&](const OutcomeContext& c) { OnUpdateRestore(c, restore); },
       {"ask [OK] restoring", "bar 0 restoring", "bar 50 restoring", "bar 100 restoring", "ask [OK/Cancel] restored?"}},
  };
  for (const auto& c : cases) {
    TestFolder dir;
    dir.Write(u"info.dat", "info");
    dir.Write(u"upgrade\\pkg\\a.bin", "package");
    dir.Write(u"inst\\nvt_update_temp_folder\\a.dll", "old a");
    dir.Write(u"inst\\nvt_update_temp_folder\\b.dll", "old b");
    UpdaterSettings settings;
    settings.m_strModuleDir = dir.path() + u"\\inst\\";
    settings.m_strInfoFile = dir.path() + u"\\info.dat";
    settings.m_strUpgradeDir = dir.path() + u"\\upgrade";
    settings.m_bHelperStopped = c.helperStopped;
    UpgradeInfo info;
    info.m_strDisplayVersion = u"7.1";
    Journal journal;
    ScriptedWindow window(journal, c.answer, dir);
    JournalLauncher launcher(journal);
    JournalRegistry registry(journal);
    JournalSelfReplace selfReplace(journal);
    c.outcome(OutcomeContext{settings, info, window, launcher, registry, selfReplace});
    EXPECT_EQ(journal.lines, c.journal) << c.name;
    EXPECT_FALSE(dir.Has(u"info.dat")) << c.name;
    EXPECT_FALSE(dir.Has(u"upgrade")) << c.name;
  }
}

}  // namespace
}  // namespace norvex::update
