// The window-independent half of the installer window: the texts of both states, the rich text
// of the permission list and how it is handed to the control, the name font rule, and drops
// (first file only, refused files, a drop while an installation runs) over real packages made
// and read with the real aapt.
#include "window_texts.h"

#include <gtest/gtest.h>

#include "file_access.h"
#include "inspection.h"
#include "posix/posix_tool_runner.h"
#include "tables.h"
#include "test_support.h"

namespace norvex::sideloader {
namespace {

using namespace testing;

const std::vector<PermissionEntry> kTwoPermissions = {{u"读取短信", u"允许读取短信。"}, {u"Call", u"Dials {x}."}};

TEST(WindowTexts, LoadedAndNotLoadedStates) {
  CPackageInfo package;
  package.m_strDisplayName = u"地图";
  package.m_strVersionName = u"2.0.26";
  package.m_nFileSize = 3774873;
  package.m_nSdkLevel = 7;
  struct Case {
    const char* name;
    bool fileGiven, isPackage;
    std::optional<std::u16string> label;
  } const cases[] = {
      {"nothing given", false, false, std::nullopt},
      {"another file type", true, false, u"地图"},
      {"record of a package, but no file given", false, true, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    package.m_bFileGiven = c.fileGiven;
    package.m_bIsPackage = c.isPackage;
    const WindowTexts texts = ComposeWindowTexts(package);
    EXPECT_EQ(texts.name, c.label);
    EXPECT_EQ(texts.version, u"");
    EXPECT_EQ(texts.minimum, u"未接收到任何要安装到手机的apk文件");
    EXPECT_EQ(texts.heading, u"欢迎使用诺维宝软件");
    EXPECT_EQ(texts.list, u"将文件拖到此方框中，即可进行相应操作");
    EXPECT_FALSE(texts.listIsRich);
    EXPECT_EQ(texts.status, u"请用USB线连接好手机..");
    EXPECT_FALSE(texts.installEnabled);
  }

  package.m_bFileGiven = package.m_bIsPackage = true;
  WindowTexts texts = ComposeWindowTexts(package);
  EXPECT_EQ(texts.name, u"地图");
  EXPECT_EQ(texts.version, u"版本：2.0.26 - 大小：" + FormatSize(3774873));
  EXPECT_EQ(texts.version, u"版本：2.0.26 - 大小：3.60 MB");
  EXPECT_EQ(texts.minimum, u"最低要求 " + PlatformName(7));
  EXPECT_EQ(texts.heading, u"注意，此应用有权限进行以下操作：");
  EXPECT_EQ(texts.list, u"无敏感权限");
  EXPECT_FALSE(texts.listIsRich);
  EXPECT_EQ(texts.status, u"apk已经准备好，手机连接后请点击安装按钮，对应apk软件将自动安装到您的手机上。");
  EXPECT_TRUE(texts.installEnabled);

  package.m_permissions = kTwoPermissions;
  texts = ComposeWindowTexts(package);
  EXPECT_TRUE(texts.listIsRich);
  EXPECT_EQ(texts.list, PermissionRichText(kTwoPermissions));
}

TEST(WindowTexts, RichTextIsBuiltPieceByPieceWithoutEscaping) {
  EXPECT_EQ(PermissionRichText({}), u"{\\rtf1 \\ansi}");
  EXPECT_EQ(PermissionRichText(kTwoPermissions),
            u"{\\rtf1 \\ansi \\b 读取短信\\b0\\par 允许读取短信。\\par\\par \\b Call\\b0\\par Dials {x}.\\par\\par}");
}

TEST(WindowTexts, StreamedRichTextEscapesEveryNonAsciiUnit) {
  // 读 U+8BFB reads as -29701 in 16 signed bits; 短 U+77ED as 30701; an emoji's two halves apart.
  EXPECT_EQ(RichTextForStream(u"{\\b 读短}"), "{\\b \\u-29701?\\u30701?}");
  EXPECT_EQ(RichTextForStream(u"é\U0001F600"), "\\u233?\\u-10179?\\u-8704?");
  EXPECT_EQ(RichTextForStream(PermissionRichText(kTwoPermissions)).find_first_of("\x80\xff"), std::string::npos);
  EXPECT_EQ(PlainTextForStream(u"无敏感权限"), "{\\rtf1 \\ansi \\u26080?\\u25935?\\u24863?\\u26435?\\u-27056?}");
  EXPECT_EQ(PlainTextForStream(u"a\\b{c}"), "{\\rtf1 \\ansi a\\\\b\\{c\\}}");
}

TEST(WindowTexts, LongNamesGetTheSmallerFont) {
  EXPECT_EQ(NameFontHeight(u""), 20);
  EXPECT_EQ(NameFontHeight(std::u16string(30, u'名')), 20);
  EXPECT_EQ(NameFontHeight(std::u16string(31, u'名')), 16);
  EXPECT_EQ(NameFontHeight(std::u16string(31, u'a')), 16);
}

class DropTest : public ProgramFolderTest {
 protected:
  std::u16string Make(const PackageRecipe& recipe, const std::string& name) {
    const stdfs::path apk = dir.root() / "in" / name;
    EXPECT_TRUE(BuildPackage(recipe, dir.root(), apk));
    return text::FromUtf8(apk.string());
  }
  std::u16string Plain(const std::string& name) {
    WriteBytes(dir.root() / "in" / name, "text");
    return text::FromUtf8((dir.root() / "in" / name).string());
  }
  bool Drop(const std::vector<std::u16string>& files, bool installing = false) {
    InspectionContext context{runner, texts, messages};
    return ReceiveDrop(package, files, installing, context);
  }
};

TEST_F(DropTest, OnlyTheFirstFileIsTaken) {
  PackageRecipe sms;
  sms.label = "短信";
  sms.permissions = {"android.permission.SEND_SMS"};
  PackageRecipe plain;
  plain.label = "Plain";
  const std::u16string first = Make(sms, "first.apk"), second = Make(plain, "second.apk");
  ASSERT_TRUE(Drop({first, second}));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(package.m_strPackagePath, first);
  EXPECT_EQ(package.m_strDisplayName, u"first");
  ASSERT_EQ(package.m_permissions.size(), 1u);
  const WindowTexts shown = ComposeWindowTexts(package);
  EXPECT_TRUE(shown.installEnabled);
  EXPECT_TRUE(shown.listIsRich);

  // The next package replaces the list instead of adding to it.
  ASSERT_TRUE(Drop({second, first}));
  EXPECT_EQ(package.m_strDisplayName, u"second");
  EXPECT_TRUE(package.m_permissions.empty());
  EXPECT_EQ(ComposeWindowTexts(package).list, u"无敏感权限");
}

TEST_F(DropTest, RefusedFilesLeaveTheTwoPictures) {
  PackageRecipe sms;
  sms.permissions = {"android.permission.SEND_SMS"};
  sms.versionName = "3.1";
  const std::u16string apk = Make(sms, "短信.apk");
  const std::u16string folder = dir.Folder("a folder.apk");
  const std::u16string missing = text::FromUtf8((dir.root() / "in/gone.apk").string());
  {
    SCOPED_TRACE("nothing loaded yet: a folder, then a missing file");
    ASSERT_TRUE(Drop({folder}));
    EXPECT_EQ(messages.shown, std::vector<std::u16string>{u"不能传输文件夹!"});
    ASSERT_TRUE(Drop({missing}));
    EXPECT_EQ(messages.shown.size(), 1u);
    const WindowTexts shown = ComposeWindowTexts(package);
    EXPECT_EQ(shown.name, u"");  // a file was given: the template name goes
    EXPECT_FALSE(shown.installEnabled);
  }
  ASSERT_TRUE(Drop({apk}));
  const CPackageInfo loaded = package;
  ASSERT_FALSE(loaded.m_permissions.empty());
  for (const std::u16string& refused : {folder, missing}) {
    SCOPED_TRACE(text::ToUtf8(refused));
    ASSERT_TRUE(Drop({refused}));
    const WindowTexts shown = ComposeWindowTexts(package);
    EXPECT_EQ(shown.name, u"短信");
    EXPECT_EQ(shown.version, u"版本：3.1 - 大小：" + FormatSize(loaded.m_nFileSize));
    EXPECT_TRUE(shown.installEnabled);
    // The earlier package can still be installed, so its permissions stay listed.
    EXPECT_EQ(package.m_permissions, loaded.m_permissions);
    EXPECT_EQ(package.m_strWorkCopy, loaded.m_strWorkCopy);
  }
  {
    SCOPED_TRACE("another file type");
    messages.shown.clear();
    ASSERT_TRUE(Drop({Plain("notes.txt"), apk}));
    EXPECT_EQ(messages.shown, std::vector<std::u16string>{u"文件类型不对!"});
    const WindowTexts shown = ComposeWindowTexts(package);
    EXPECT_EQ(shown.name, u"notes.txt");
    EXPECT_EQ(shown.list, u"将文件拖到此方框中，即可进行相应操作");
    EXPECT_EQ(shown.minimum, u"未接收到任何要安装到手机的apk文件");
    EXPECT_FALSE(shown.installEnabled);
  }
}

TEST_F(DropTest, ADropWhileInstallingIsRefusedAndChangesNothing) {
  PackageRecipe first, second;
  first.label = "One";
  first.permissions = {"android.permission.SEND_SMS"};
  ASSERT_TRUE(Drop({Make(first, "one.apk")}));
  const CPackageInfo before = package;
  const std::string workCopy = ReadBytes(files::NativePath(package.m_strWorkCopy));
  EXPECT_FALSE(Drop({Make(second, "two.apk")}, true));
  EXPECT_EQ(messages.shown, std::vector<std::u16string>{kDropWhileInstalling});
  EXPECT_EQ(package.m_strPackagePath, before.m_strPackagePath);
  EXPECT_EQ(package.m_strDisplayName, u"one");
  EXPECT_EQ(package.m_permissions, before.m_permissions);
  EXPECT_EQ(ReadBytes(files::NativePath(package.m_strWorkCopy)), workCopy);

  EXPECT_TRUE(Drop({}, false));  // an empty drop does nothing at all
  EXPECT_EQ(package.m_strDisplayName, u"one");
}

}  // namespace
}  // namespace norvex::sideloader
