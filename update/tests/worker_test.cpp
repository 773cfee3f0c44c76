// Whole update runs against a real installation folder: the positions the bar receives, the
// outcome of every failure, and what each entry kind does to the installation.
#include <gtest/gtest.h>
#include <json/json.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "folder_ops.h"
#include "test_folder.h"
#include "upgrade_info_writer.h"
#include "worker.h"
#include "zip_maker.h"

namespace norvex::update {
namespace {

// Records everything the worker shows, as text lines; on the restore outcome it restores the
// backup as the window does.
class RecordingView : public UpdateView {
 public:
  explicit RecordingView(const UpdaterSettings& settings) : settings_(settings) {}
  std::vector<std::string> events;
  std::vector<int> positions;
  bool selfUpdate = false;

  void SetTitle(const std::u16string& title) override { events.push_back("title " + text::ToUtf8(title)); }
  void SetStatus(const std::u16string& status) override { events.push_back("status " + text::ToUtf8(status)); }
  void SetPosition(int position) override {
    positions.push_back(position);
    events.push_back(std::to_string(position));
  }
  void UpdateFailed(const std::u16string& text) override { Outcome("failed " + text::ToUtf8(text)); }
  void UpdateDone(bool self) override {
    selfUpdate = self;
    Outcome("done");
  }
  void UpdateRestore(const RestoreTexts& texts) override {
    Outcome("restore " + text::ToUtf8(texts.m_strRestoring) + " | " + text::ToUtf8(texts.m_strRestored));
    RestoreBackup(settings_, *this);
  }
  // The outcome event, e.g. "failed <text>"; "" before one arrives.
  std::string outcomeEvent;
  std::string outcome() const { return outcomeEvent.substr(0, outcomeEvent.find(' ')); }

  // Positions sent after the status line last changed to `status`.
  std::vector<int> PositionsAfter(const std::string& status) const {
    std::vector<int> after;
    bool seen = false;
    for (const auto& e : events) {
      if (e.rfind("status ", 0) == 0) {
        seen = e == "status " + status;
        continue;
      }
      if (seen && !e.empty() && (std::isdigit(static_cast<unsigned char>(e[0])) || e[0] == '-')) after.push_back(std::stoi(e));
    }
    return after;
  }

 private:
  void Outcome(const std::string& event) {
    EXPECT_EQ(outcomeEvent, "") << "a second outcome: " << event;
    outcomeEvent = event;
    events.push_back(event);
  }
  const UpdaterSettings& settings_;
};

struct Entry {
  std::string fileName;
  std::string package;  // file name in the package folder; empty for none
  int code;
  int size;
  std::string md5 = "";  // empty: the package's real digest
};

class UpdateRun : public ::testing::Test {
 public:  // the case tables below arrange runs through these
  void SetUp() override {
    settings.m_strModuleDir = dir.path() + u"\\inst\\";
    settings.m_strInfoFile = dir.path() + u"\\info.dat";
    SelectLanguage(settings, u"en_US");
    dir.Write(u"inst\\keep.txt", "untouched");
  }

  std::u16string Package(const std::string& name) const { return dir.path() + u"\\pkg\\" + text::FromUtf8(name); }
  void WritePackage(const std::string& name, const std::string& content) { dir.Write(u"pkg\\" + text::FromUtf8(name), content); }

  void WriteInfo(const std::vector<Entry>& entries, const std::string& version = "2.0.1") {
    Json::Value root;
    root["displayVersion"] = version;
    root["models"] = Json::Value(Json::arrayValue);
    for (const auto& e : entries) {
      Json::Value m;
      m["modelName"] = e.fileName;
      m["fileName"] = e.fileName;
      m["operationCode"] = e.code;
      m["size"] = e.size;
      if (!e.package.empty()) {
        m["path"] = text::ToUtf8(Package(e.package));
        std::string digest;
        m["md5"] = !e.md5.empty() ? e.md5 : (Md5HexOfFile(Package(e.package), digest) ? digest : "none");
      }
      root["models"].append(m);
    }
    WriteInfoText(Json::FastWriter().write(root));
  }
  void WriteInfoText(const std::string& json) {
    const auto bytes = EncodeUpgradeInfo(json);
    dir.Write(u"info.dat", std::string(bytes.begin(), bytes.end()));
  }

  std::string Run() {
    UpgradeInfo info;
    BuiltInTexts texts;
    UpdateWorker(settings, info, view, texts);
    return view.outcome();
  }

  TestFolder dir;
  UpdaterSettings settings;
  RecordingView view{settings};
};

TEST_F(UpdateRun, ReadingAndCheckingPhasesMoveTheBarInFixedSteps) {
  WritePackage("a.dll", "new a");
  WritePackage("b.dll", "new b");
  WriteInfo({{"a.dll", "a.dll", 1, 1}, {"gone.dll", "", 0, 1}, {"b.dll", "b.dll", 1, 1}});
  EXPECT_EQ(Run(), "done");
  const std::vector<std::string> start(view.events.begin(), view.events.begin() + 13);
  EXPECT_EQ(start, (std::vector<std::string>{"title NorvexTool update program",
                                             "status Reading the upgrade information, please wait ...", "0", "25",
                                             "50", "75", "100", "status Checking the update files, please wait ...",
                                             "0", "33", "66", "100", "status Updating files, please wait ..."}));
}

TEST_F(UpdateRun, UpdatePhasePositionsFollowTheSizes) {
  WritePackage("p", "12345");
  // Each copy is one block, so it moves the bar once, to its end anchor, before the entry's own position.
  WriteInfo({{"a", "p", 1, 10}, {"b", "p", 1, 30}, {"c", "p", 1, 60}});
  EXPECT_EQ(Run(), "done");
  EXPECT_EQ(view.PositionsAfter("Updating files, please wait ..."), (std::vector<int>{0, 10, 10, 40, 40, 100, 100}));
}

TEST_F(UpdateRun, WithoutSizesTheBarCountsEntries) {
  WritePackage("p", "12345");
  WriteInfo({{"a", "p", 1, 0}, {"b", "p", 1, 0}, {"c", "p", 1, 0}});
  EXPECT_EQ(Run(), "done");
  EXPECT_EQ(view.PositionsAfter("Updating files, please wait ..."), (std::vector<int>{0, 33, 66, 100}));
}

TEST_F(UpdateRun, FailuresBeforeApplyingLeaveTheInstallationAlone) {
  const std::string failed = "failed Sorry, upgrade failed!\r\n\r\ndo you want open the norvextool program?";
  const std::string damaged =
      "failed The upgrade file may be damaged and need to be re-download.\r\n\r\ndo you want open the norvextool "
      "program?";
  struct Case {
    const char* name;
    std::function<void(UpdateRun&)> prepare;
    std::string outcome;
  } const cases[] = {
      {"no information file", [](UpdateRun&) {}, failed},
      {"digest mismatch",
       [](UpdateRun& t) {
         t.WriteInfo({{"a.dll", "", 0, 1}});
         std::string bytes = t.dir.Read(u"info.dat");
         bytes[16] ^= 0x40;  // the lead byte is covered by the digest
         t.dir.Write(u"info.dat", bytes);
       },
       damaged},
      {"not JSON", [](UpdateRun& t) { t.WriteInfoText("{\"models\": ["); }, failed},
      {"no entries", [](UpdateRun& t) { t.WriteInfoText("{\"displayVersion\": \"1\"}"); }, failed},
      {"package missing",
       [](UpdateRun& t) { t.WriteInfo({{"keep.txt", "absent.bin", 2, 1}}); }, damaged},
      {"ignored code with wrong digest",
       [](UpdateRun& t) {
         t.WritePackage("p", "x");
         t.WriteInfo({{"keep.txt", "p", 1, 1}, {"x", "p", 5, 1, "0123456789abcdef0123456789abcdef"}});
       },
       damaged},
  };
  for (const auto& c : cases) {
    view.events.clear();
    view.outcomeEvent.clear();
    std::filesystem::remove(dir.Native(u"info.dat"));
    c.prepare(*this);
    Run();
    EXPECT_EQ(view.outcomeEvent, c.outcome) << c.name;
    EXPECT_EQ(dir.Read(u"inst\\keep.txt"), "untouched") << c.name;
    EXPECT_FALSE(dir.Has(u"inst\\nvt_update_temp_folder")) << c.name;
  }
}

TEST_F(UpdateRun, TextsFollowTheLanguageIndex) {
  struct Case {
    int language;
    const char* failed;
  } const cases[] = {{0, "抱歉，升级失败！\r\n\r\n是否要开启诺维宝程序？"},
                     {1, "Sorry, upgrade failed!\r\n\r\ndo you want open the norvextool program?"},
                     {2, "抱歉，升級失敗！\r\n是否要開啟諾維寶程序？"},
                     {7, "抱歉，升级失败！\r\n\r\n是否要开启诺维宝程序？"}};
  for (const auto& c : cases) {
    view.outcomeEvent.clear();
    settings.m_nLanguage = c.language;
    Run();
    EXPECT_EQ(view.outcomeEvent, std::string("failed ") + c.failed) << c.language;
  }
}

TEST_F(UpdateRun, EntriesChangeTheInstallationByCode) {
  dir.Write(u"inst\\replace.dll", "old r");
  dir.Write(u"inst\\remove.dll", "old x");
  dir.Write(u"inst\\lib\\nested.dll", "old n");
  dir.Write(u"inst\\plugins\\old.txt", "old plugin");
  dir.Write(u"inst\\ro\\locked.txt", "old locked");
  fs::SetReadOnly(dir.path() + u"\\inst\\ro\\locked.txt", true);
  WritePackage("r", "new r");
  WritePackage("n", "new n");
  WritePackage("add", "added");
  MakeZip(text::ToPosixPath(Package("plugins.zip")),
          {{"plugins/", ""}, {"plugins/a.txt", "A"}, {"plugins/sub/b.txt", "B"}, {"C:\\tmp\\..\\plugins\\c.txt", "C"}});
  MakeZip(text::ToPosixPath(Package("ro.zip")), {{"ro/locked.txt", "new locked"}, {"ro/free.txt", "free"}});
  WriteInfo({{"replace.dll", "r", 2, 5},
             {"remove.dll", "", 0, 5},
             {"lib\\nested.dll", "n", 2, 5},
             {"added.dll", "add", 65537, 5},  // only the low 16 bits count: code 1
             {"plugins.zip", "plugins.zip", 2, 5},
             {"ro.zip", "ro.zip", 1, 5},
             {"ignored.dll", "add", 3, 5},
             {"missing.dll", "", 0, 5}});
  EXPECT_EQ(Run(), "done");
  EXPECT_FALSE(view.selfUpdate);
  EXPECT_EQ(dir.Read(u"inst\\replace.dll"), "new r");
  EXPECT_FALSE(dir.Has(u"inst\\remove.dll"));
  EXPECT_EQ(dir.Read(u"inst\\lib\\nested.dll"), "new n");
  EXPECT_EQ(dir.Read(u"inst\\added.dll"), "added");
  EXPECT_FALSE(dir.Has(u"inst\\plugins\\old.txt"));  // a replaced folder is deleted first
  EXPECT_EQ(dir.Read(u"inst\\plugins\\a.txt"), "A");
  EXPECT_EQ(dir.Read(u"inst\\plugins\\sub\\b.txt"), "B");
  EXPECT_EQ(dir.Read(u"inst\\plugins\\c.txt"), "C");
  EXPECT_EQ(dir.Read(u"inst\\ro\\locked.txt"), "old locked");  // skipped, not fatal
  EXPECT_EQ(dir.Read(u"inst\\ro\\free.txt"), "free");
  EXPECT_FALSE(dir.Has(u"inst\\ignored.dll"));
  EXPECT_FALSE(dir.Has(u"inst\\nvt_update_temp_folder"));
  EXPECT_EQ(view.positions.back(), 100);
}

TEST_F(UpdateRun, TheUpdaterItselfIsStagedNotReplaced) {
  for (const char* name : {"update.exe", "UPDATE.EXE"}) {
    for (int code : {1, 2}) {
      view.outcomeEvent.clear();
      dir.Write(u"inst\\update.exe", "running updater");
      WritePackage("u", "new updater");
      WriteInfo({{name, "u", code, 1}});
      EXPECT_EQ(Run(), "done") << name << code;
      EXPECT_TRUE(view.selfUpdate) << name << code;
      EXPECT_EQ(dir.Read(u"inst\\update.exe"), "running updater");
      EXPECT_EQ(dir.Read(u"inst\\nvt_update_self_folder\\update.exe"), "new updater");
    }
  }
}

TEST_F(UpdateRun, ArchiveItemsCannotLeaveTheInstallation) {
  MakeZip(text::ToPosixPath(Package("p.zip")),
          {{"../escaped.txt", "x"}, {"p/../../escaped2.txt", "x"}, {"..\\escaped3.txt", "x"}, {"p/ok.txt", "ok"}});
  WriteInfo({{"p.zip", "p.zip", 1, 1}});
  EXPECT_EQ(Run(), "done");
  EXPECT_EQ(dir.Read(u"inst\\p\\ok.txt"), "ok");
  for (auto name : {u"escaped.txt", u"escaped2.txt", u"escaped3.txt", u"inst\\escaped.txt"}) EXPECT_FALSE(dir.Has(name));
}

TEST_F(UpdateRun, AFailedEntryIsRestoredFromTheBackup) {
  dir.Write(u"inst\\a.dll", "old a");
  dir.Write(u"inst\\lib\\x.dll", "old x");
  WritePackage("a", "new a");
  WritePackage("b", "new b");
  WritePackage("bad.zip", "this is no zip archive");
  WriteInfo({{"a.dll", "a", 2, 1}, {"b.dll", "b", 1, 1}, {"lib\\x.dll", "", 0, 1}, {"broken.zip", "bad.zip", 1, 1}});
  EXPECT_EQ(Run(), "restore");
  EXPECT_EQ(view.outcomeEvent, "restore Upgrade fails, the system is restoring | Been restored, do you want open the norvextool program?");
  EXPECT_EQ(dir.Read(u"inst\\a.dll"), "old a");
  EXPECT_EQ(dir.Read(u"inst\\b.dll"), "new b");        // added files stay
  EXPECT_EQ(dir.Read(u"inst\\lib\\x.dll"), "old x");   // a removed file in a sub-folder comes back
  EXPECT_FALSE(dir.Has(u"inst\\nvt_update_temp_folder"));
}

TEST_F(UpdateRun, ReplacingAFolderThatDoesNotExistRestores) {
  MakeZip(text::ToPosixPath(Package("plugins.ZIP")), {{"plugins/a.txt", "A"}});
  WriteInfo({{"plugins.ZIP", "plugins.ZIP", 2, 1}});
  EXPECT_EQ(Run(), "restore");
}

TEST_F(UpdateRun, AnEntryNamedOnlyZipNeverTouchesTheWholeInstallation) {
  MakeZip(text::ToPosixPath(Package("all.zip")), {{"new.txt", "new"}});
  struct Case {
    int code;
    const char* outcome;
  } const cases[] = {{0, "done"}, {2, "restore"}, {1, "done"}};
  for (const auto& c : cases) {
    view.outcomeEvent.clear();
    WriteInfo({{".zip", "all.zip", c.code, 1}});
    EXPECT_EQ(Run(), c.outcome) << c.code;
    EXPECT_EQ(dir.Read(u"inst\\keep.txt"), "untouched") << c.code;
  }
  EXPECT_EQ(dir.Read(u"inst\\new.txt"), "new");  // code 1 unpacks into the installation
}

TEST_F(UpdateRun, RemovingAFileThatDoesNotExistSucceeds) {
  WriteInfo({{"never.dll", "", 0, 1}});
  EXPECT_EQ(Run(), "done");
}

}  // namespace
}  // namespace norvex::update
