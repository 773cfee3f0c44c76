// The package side over real packages: each test package is made at test time by the real
// aapt with the platform's framework resources, and inspected with the real aapt, so the
// parser reads exactly what the SDK tool prints.
#include <gtest/gtest.h>

#include <cstdio>

#include "file_access.h"
#include "icon.h"
#include "inspection.h"
#include "posix/posix_tool_runner.h"
#include "test_support.h"

namespace norvex::sideloader {
namespace {

using namespace testing;

// Hands out a fixed status without running anything: for the case no real system produces.
class StatusRunner final : public ToolRunner {
 public:
  explicit StatusRunner(RunStatus status) : status_(status) {}
  CapturedBytes Capture(const std::u16string& tool, const std::u16string& commandLine, std::size_t chunkBytes,
                        unsigned pauseMs) override {
    runs.push_back(tool + u"|" + commandLine + u"|" + text::FromUtf8(std::to_string(chunkBytes)) + u"|" +
                   text::FromUtf8(std::to_string(pauseMs)));
    return {status_, {}};
  }
  bool StartAndWait(const std::u16string&, const std::u16string&, unsigned) override { return false; }
  std::vector<std::u16string> runs;

 private:
  RunStatus status_;
};

// An entry's bytes as the independent unzip tool reads them from the archive (aapt recompresses
// pictures, so the bytes a test wrote are not the bytes in the package).
std::string EntryBytes(const std::u16string& archive, const std::string& entry) {
  const std::string command = "unzip -p '" + files::NativePath(archive) + "' '" + entry + "'";
  std::string bytes;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) bytes.append(chunk, got);
    ::pclose(pipe);
  }
  EXPECT_FALSE(bytes.empty()) << command;
  return bytes;
}

class PackageTest : public ProgramFolderTest {
 protected:
  // Builds the package under `name` and hands it over like a drop: path, emptied list, check.
  bool Load(const PackageRecipe& recipe, const std::string& name) {
    const stdfs::path apk = dir.root() / "in" / name;
    if (!BuildPackage(recipe, dir.root(), apk)) return false;
    package.m_strPackagePath = text::FromUtf8(apk.string());
    package.m_permissions.clear();
    return CheckPackageFile(package, messages);
  }
  bool Inspect() {
    InspectionContext context{runner, texts, messages};
    return InspectPackage(package, context);
  }
  std::vector<std::u16string> Labels() const {
    std::vector<std::u16string> labels;
    for (const auto& entry : package.m_permissions) labels.push_back(entry.strLabel);
    return labels;
  }
  stdfs::path IconFile() const { return files::NativePath(IconFilePath(package)); }
};

TEST(SetupFolders, UsesLocalAppDataOrFallsBackToTheProgramFolder) {
  TempDir dir;
  stdfs::create_directories(dir.root() / "data");
  const std::u16string data = text::FromUtf8((dir.root() / "data").string());
  const std::u16string app = text::FromUtf8((dir.root() / "app").string()) + u"\\";
  stdfs::create_directories(dir.root() / "app");
  const struct {
    std::optional<std::u16string> localAppData;
    std::u16string temp;
  } cases[] = {
      {data, data + u"\\NorvexTool\\IstallTemp\\"},
      {std::nullopt, app + u"IstallTemp\\"},
  };
  for (const auto& c : cases) {
    MapRegistry registry;
    registry.value = c.localAppData;
    CPackageInfo package;
    SetupFolders(package, app + u"sideloader.exe", registry);
    EXPECT_EQ(package.m_strAppFolder, app);
    EXPECT_EQ(package.m_strTempFolder, c.temp);
    EXPECT_EQ(package.m_strWorkCopy, c.temp + u"nvApkInstall.apk");
    EXPECT_TRUE(stdfs::is_directory(files::NativePath(c.temp)));
    EXPECT_EQ(package.m_nInstallLocation, Auto);
    EXPECT_EQ(package.m_nSdkLevel, 0);
    EXPECT_FALSE(package.m_bFileGiven || package.m_bIsPackage || package.m_bHasIcon);
  }
}

TEST_F(PackageTest, CheckAcceptsAnyCaseOfApkAndRefusesTheRest) {
  WriteBytes(dir.root() / "in/notes.txt", "text");
  WriteBytes(dir.root() / "in/APK", "no dot");
  stdfs::create_directories(dir.root() / "in/folder.apk");
  ASSERT_TRUE(BuildPackage(PackageRecipe{}, dir.root(), dir.root() / "in/game.APK"));
  ASSERT_TRUE(BuildPackage(PackageRecipe{}, dir.root(), dir.root() / "in/地图.apk"));
  const struct {
    std::string name;
    bool accepted;
    std::u16string displayName;
    std::vector<std::u16string> shown;
  } cases[] = {
      {"game.APK", true, u"game", {}},
      {"地图.apk", true, u"地图", {}},
      {"notes.txt", false, u"notes.txt", {u"文件类型不对!"}},
      {"folder.apk", false, u"before", {u"不能传输文件夹!"}},
      {"missing.apk", false, u"before", {}},
  };
  for (const auto& c : cases) {
    package = CPackageInfo{};
    package.m_strDisplayName = u"before";
    package.m_nInstallLocation = InternalOnly;      // left by an earlier click
    package.m_bIsPackage = c.name == "folder.apk";  // a refusal before the type check changes nothing
    messages.shown.clear();
    package.m_strPackagePath = text::FromUtf8((dir.root() / "in" / c.name).string());
    EXPECT_EQ(CheckPackageFile(package, messages), c.accepted) << c.name;
    EXPECT_EQ(package.m_strDisplayName, c.displayName) << c.name;
    EXPECT_EQ(messages.shown, c.shown) << c.name;
    EXPECT_EQ(package.m_bFileGiven, c.accepted) << c.name;
    EXPECT_EQ(package.m_bIsPackage, c.accepted || c.name == "folder.apk") << c.name;
    EXPECT_EQ(package.m_nInstallLocation, InternalOnly) << c.name;  // a new file does not reset it
    if (c.accepted) {
      EXPECT_EQ(package.m_nFileSize, stdfs::file_size(dir.root() / "in" / c.name)) << c.name;
    }
  }
}

TEST_F(PackageTest, InspectionReadsWhatAaptPrints) {
  const std::string hdpi = MakePng(3, 3, 255, 0, 0), mdpi = MakePng(2, 2, 0, 255, 0), ldpi = MakePng(1, 1, 0, 0, 255);
  ASSERT_NE(hdpi, mdpi);
  const struct {
    const char* what;
    PackageRecipe recipe;
    std::string fileName;
    std::u16string displayName, version;
    std::int32_t level;
    std::vector<std::u16string> labels;
    std::optional<std::string> icon;  // the entry nvApkInstall.png must hold; nothing: no icon
  } cases[] = {
      {"hdpi and mdpi icons, Chinese texts, a repeated and an unlisted permission",
       {"地图",
        "版本2.0",
        8,
        std::nullopt,
        {"android.permission.SEND_SMS", "android.permission.INTERNET", "android.permission.READ_CONTACTS",
         "android.permission.SEND_SMS"},
        {{"drawable-mdpi", mdpi}, {"drawable-hdpi", hdpi}},
        false},
       "地图.apk",
       u"地图",
       u"版本2.0",
       8,
       {u"发送短信", u"读取联系人数据", u"发送短信"},
       "res/drawable-hdpi-v4/icon.png"},
      {"only ldpi and mdpi icons",
       {"Demo",
        "1.0",
        14,
        std::nullopt,
        {"android.permission.CAMERA"},
        {{"drawable-ldpi", ldpi}, {"drawable-mdpi", mdpi}},
        false},
       "GAME.APK",
       u"GAME",
       u"1.0",
       14,
       {},
       "res/drawable-ldpi-v4/icon.png"},
      // Without a minimum level aapt adds the permissions old platforms granted implicitly.
      {"no minimum level, no icon",
       {"Demo", "", std::nullopt, std::nullopt, {}, {}, false},
       "plain.apk",
       u"plain",
       u"",
       1000000,
       {u"读取手机状态和身份"},
       std::nullopt},
  };
  // A Chinese system: aapt's UTF-8 must still arrive intact, not be read as GBK.
  struct ChineseSystem {
    ChineseSystem() { text::SetAnsiCodeSetForTesting("GBK"); }
    ~ChineseSystem() { text::SetAnsiCodeSetForTesting(""); }
  } chinese;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(Load(c.recipe, c.fileName));
    stdfs::remove(IconFile());
    ASSERT_TRUE(Inspect());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(package.m_strDisplayName, c.displayName);
    EXPECT_EQ(package.m_strVersionName, c.version);
    EXPECT_EQ(package.m_nSdkLevel, c.level);
    EXPECT_EQ(Labels(), c.labels);
    EXPECT_EQ(package.m_bHasIcon, c.icon.has_value());
    EXPECT_EQ(ReadBytes(IconFile()), c.icon ? EntryBytes(package.m_strWorkCopy, *c.icon) : "<missing>");
    EXPECT_EQ(ReadBytes(files::NativePath(package.m_strWorkCopy)),
              ReadBytes(files::NativePath(package.m_strPackagePath)));
  }
}

TEST_F(PackageTest, AnXmlIconIsExtractedAsItIs) {
  PackageRecipe recipe;
  recipe.xmlIcon = true;
  ASSERT_TRUE(Load(recipe, "xml.apk"));
  ASSERT_TRUE(Inspect());
  EXPECT_TRUE(package.m_bHasIcon);
  const std::string icon = ReadBytes(IconFile());
  ASSERT_GE(icon.size(), 4u);
  EXPECT_EQ(icon.substr(0, 4), std::string("\x03\x00\x08\x00", 4));  // compiled XML, not a picture
}

TEST_F(PackageTest, IconEntryIsFoundWhateverItsCaseAndAPackageWithoutOneClearsTheFlag) {
  const std::string hdpi = MakePng(4, 4, 9, 9, 9);
  PackageRecipe recipe;
  recipe.icons = {{"drawable-hdpi", hdpi}};
  ASSERT_TRUE(Load(recipe, "icon.apk"));
  ASSERT_TRUE(CopyToWorkCopy(package));
  ExtractIcon(u"application-icon-240:'RES/Drawable-HDPI-V4/Icon.PNG'", package);
  EXPECT_TRUE(package.m_bHasIcon);
  const std::string entry = EntryBytes(package.m_strWorkCopy, "res/drawable-hdpi-v4/icon.png");
  ASSERT_EQ(entry.substr(0, 8), hdpi.substr(0, 8));  // aapt recompresses pictures: compare with the archive
  EXPECT_EQ(ReadBytes(IconFile()), entry);
  ExtractIcon(u"application-icon-240:'res/drawable-hdpi-v4/other.png'", package);
  EXPECT_FALSE(package.m_bHasIcon);

  ASSERT_TRUE(Load(recipe, "icon.apk"));
  ASSERT_TRUE(Inspect());
  ASSERT_TRUE(package.m_bHasIcon);
  ASSERT_TRUE(Load(PackageRecipe{}, "none.apk"));
  ASSERT_TRUE(Inspect());
  EXPECT_FALSE(package.m_bHasIcon);
  EXPECT_EQ(ReadBytes(IconFile()), entry);  // the old file stays, it is just not shown
}

TEST_F(PackageTest, FailedInspectionsKeepTheEarlierResults) {
  PackageRecipe recipe;
  recipe.permissions = {"android.permission.SEND_SMS"};
  recipe.versionName = "9.9";
  ASSERT_TRUE(Load(recipe, "first.apk"));
  ASSERT_TRUE(Inspect());
  const CPackageInfo inspected = package;

  const auto expectKept = [&] {
    EXPECT_EQ(package.m_strVersionName, inspected.m_strVersionName);
    EXPECT_EQ(package.m_nSdkLevel, inspected.m_nSdkLevel);
    EXPECT_EQ(package.m_permissions, inspected.m_permissions);
  };
  {
    SCOPED_TRACE("aapt missing");
    stdfs::remove(dir.root() / "app/adb/aapt.exe");
    messages.shown.clear();
    EXPECT_FALSE(Inspect());
    EXPECT_EQ(messages.shown, std::vector<std::u16string>{u"Error on CreateProcess()"});
    expectKept();
  }
  {
    SCOPED_TRACE("no pipe");
    StatusRunner noPipe(RunStatus::NoPipe);
    InspectionContext context{noPipe, texts, messages};
    messages.shown.clear();
    EXPECT_FALSE(InspectPackage(package, context));
    EXPECT_EQ(messages.shown, std::vector<std::u16string>{u"Error On CreatePipe()"});
    EXPECT_EQ(noPipe.runs, std::vector<std::u16string>{package.m_strAppFolder + u"adb\\aapt.exe| dump badging \"" +
                                                       package.m_strWorkCopy + u"\"|4095|200"});
    expectKept();
  }
  {
    SCOPED_TRACE("work copy cannot be written");
    stdfs::remove_all(files::NativePath(package.m_strTempFolder));
    messages.shown.clear();
    EXPECT_FALSE(Inspect());
    EXPECT_EQ(messages.shown, std::vector<std::u16string>{package.m_strWorkCopy + u"创建失败"});
    expectKept();
  }
  {
    SCOPED_TRACE("nothing handed over");
    package.m_bIsPackage = false;
    messages.shown.clear();
    EXPECT_FALSE(Inspect());
    EXPECT_TRUE(messages.shown.empty());
  }
}

TEST_F(PackageTest, InstallLocationFromTheManifestDump) {
  const struct {
    std::optional<std::string> declared;
    std::int32_t location;
  } cases[] = {
      {"auto", Auto},
      {"internalOnly", InternalOnly},
      {"preferExternal", PreferExternal},
      {std::nullopt, Unset},
  };
  for (const auto& c : cases) {
    PackageRecipe recipe;
    recipe.installLocation = c.declared;
    ASSERT_TRUE(Load(recipe, "where.apk"));
    ASSERT_TRUE(CopyToWorkCopy(package));
    package.m_nInstallLocation = 7;
    ReadInstallLocation(package, runner);
    EXPECT_EQ(package.m_nInstallLocation, c.location) << c.declared.value_or("none");
  }
  stdfs::remove(dir.root() / "app/adb/aapt.exe");
  package.m_nInstallLocation = PreferExternal;
  ReadInstallLocation(package, runner);
  EXPECT_EQ(package.m_nInstallLocation, Unset);
}

}  // namespace
}  // namespace norvex::sideloader
