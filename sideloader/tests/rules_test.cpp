// The pure rules of the installer: the tables, the size text, the output rules that read aapt
// and adb, the argument split and the decoding of tool output.
#include <gtest/gtest.h>

#include <set>

#include "icon.h"
#include "inspection.h"
#include "install_flow.h"
#include "tables.h"
#include "text.h"
#include "tool_runner.h"

namespace norvex::sideloader {
namespace {

TEST(FormatSize, PicksTheUnitAndRoundsLikePrintf) {
  const struct {
    std::uint32_t n;
    const char16_t* text;
  } cases[] = {
      {0, u"0 B"},
      {1023, u"1023 B"},
      {1024, u"1.00 KB"},
      {1048575, u"1024.00 KB"},
      {1048576, u"1.00 MB"},
      {3774873, u"3.60 MB"},
      {1073741823, u"1024.00 MB"},
      {1073741824, u"1.00 GB"},
      {4294967295u, u"4.00 GB"},
      {1536, u"1.50 KB"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSize(c.n), c.text) << c.n;
}

TEST(PlatformName, NamesLevelsOneToFourteenOnly) {
  const struct {
    std::int32_t level;
    const char16_t* name;
  } cases[] = {
      {1, u"Android 1.0"},   {2, u"Android 1.1"},    {3, u"Android 1.5"},    {4, u"Android 1.6"},
      {5, u"Android 2.0"},   {6, u"Android 2.0.1"},  {7, u"Android 2.1.x"},  {8, u"Android 2.2.x"},
      {9, u"Android 2.3.0"}, {10, u"Android 2.3.3"}, {11, u"Android 3.0.x"}, {12, u"Android 3.1.x"},
      {13, u"Android 3.2"},  {14, u"Android 4.0"},   {0, u"未知"},           {-1, u"未知"},
      {15, u"未知"},         {1000000, u"未知"},     {INT32_MIN, u"未知"},   {INT32_MAX, u"未知"},
  };
  for (const auto& c : cases) EXPECT_EQ(PlatformName(c.level), c.name) << c.level;
}

class EmptyTexts final : public TextSource {
 public:
  std::u16string Load(int) override { return {}; }
};

TEST(AddPermission, AddsOnlyExactTableNamesWithTheirNumberedDescription) {
  BuiltInTexts texts;
  CPackageInfo package;
  for (const char16_t* name :
       {u"android.permission.SEND_SMS", u"android.permission.send_sms", u"android.permission.CAMERA",
        u"android.permission.INTERNET", u"android.permission.SEND_SMS ", u"android.permission-group.COST_MONEY",
        u"android.permission.SEND_SMS"}) {
    AddPermission(name, package, texts);
  }
  const std::vector<PermissionEntry> expected{
      {u"发送短信", texts.Load(34)}, {u"需要您付费的服务", texts.Load(41)}, {u"发送短信", texts.Load(34)}};
  EXPECT_EQ(package.m_permissions, expected);
  EXPECT_EQ(texts.Load(34), u"允许应用程序发送短信。恶意应用程序可能会不经您的确认就发送信息，给您带来费用损失。");
}

TEST(AddPermission, AnEmptyDescriptionAddsNothing) {
  EmptyTexts texts;
  CPackageInfo package;
  AddPermission(u"android.permission.SEND_SMS", package, texts);
  EXPECT_TRUE(package.m_permissions.empty());
}

TEST(PermissionTable, EveryRowHasItsOwnDescriptionAndNumber29IsUnused) {
  BuiltInTexts texts;
  std::set<int> numbers;
  ASSERT_EQ(PermissionTable().size(), 34u);
  for (const PermissionRow& row : PermissionTable()) {
    EXPECT_FALSE(texts.Load(row.descriptionId).empty()) << row.descriptionId;
    numbers.insert(row.descriptionId);
    CPackageInfo package;
    AddPermission(row.name, package, texts);
    ASSERT_EQ(package.m_permissions.size(), 1u) << text::ToUtf8(row.name);
    EXPECT_EQ(package.m_permissions[0].strLabel, row.label);
  }
  EXPECT_EQ(numbers.size(), 34u);
  EXPECT_EQ(numbers.count(29), 0u);
  EXPECT_TRUE(texts.Load(29).empty());
  EXPECT_EQ(*numbers.begin(), 8);
  EXPECT_EQ(*numbers.rbegin(), 42);
}

TEST(QuotedValueAfter, TakesTheTextBetweenTheNextTwoQuotes) {
  const struct {
    const char16_t* text;
    std::size_t from;
    const char16_t* value;
  } cases[] = {
      {u"a='b' c='d'", 0, u"b"},
      {u"a='b' c='d'", 3, u" c="},
      {u"a='b' c='d'", 5, u"d"},
      {u"a=''", 0, u""},
      {u"a='open", 0, u""},
      {u"no quotes", 0, u""},
      {u"x", 5, u""},
      {u"'版本'", 0, u"版本"},
  };
  for (const auto& c : cases) EXPECT_EQ(QuotedValueAfter(c.text, c.from), c.value) << text::ToUtf8(c.text);
}

TEST(OutputRules, VersionAndSdkComeFromTheFirstLowerCaseKey) {
  const struct {
    const char16_t* output;
    const char16_t* version;
    const char16_t* sdk;
  } cases[] = {
      {u"package: name='a' versionCode='1' versionName='2.0.26'\nsdkVersion:'7'\ntargetSdkVersion:'14'", u"2.0.26",
       u"7"},
      {u"package: versionName=''\ntargetSdkVersion:'14'\ncompileSdkVersion='29'", u"", u"1000000"},
      {u"platformBuildVersionName='10' versionName='1'", u"1", u"1000000"},
      {u"nothing useful", u"", u"1000000"},
      {u"sdkVersion:'  12abc'", u"", u"  12abc"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseVersionName(c.output), c.version) << text::ToUtf8(c.output);
    EXPECT_EQ(ParseSdkVersion(c.output), c.sdk) << text::ToUtf8(c.output);
  }
  EXPECT_EQ(text::WideToInt(ParseSdkVersion(u"sdkVersion:'  12abc'")), 12);
  EXPECT_EQ(text::WideToInt(ParseSdkVersion(u"no level")), 1000000);
}

TEST(OutputRules, PermissionsInOutputOrderFromIndexTenWithRepeats) {
  BuiltInTexts texts;
  CPackageInfo package;
  // The first keyword sits before index 10 and is not seen; the implied line never matches;
  // the repeated name is added twice.
  ParsePermissions(
      u"uses-permission:'android.permission.READ_SMS'\n"
      u"uses-permission: name='android.permission.SEND_SMS'\n"
      u"uses-implied-permission: name='android.permission.READ_CONTACTS' reason='x'\n"
      u"uses-permission: name='android.permission.CAMERA'\n"
      u"uses-permission: name='android.permission.READ_CALENDAR'\n"
      u"uses-permission: name='android.permission.SEND_SMS'\n",
      package, texts);
  std::vector<std::u16string> labels;
  for (const auto& entry : package.m_permissions) labels.push_back(entry.strLabel);
  EXPECT_EQ(labels, (std::vector<std::u16string>{u"发送短信", u"读取日历活动", u"发送短信"}));
}

TEST(CountOccurrences, SearchesFromIndexOneAndOverlaps) {
  const struct {
    const char16_t* text;
    const char16_t* word;
    int count;
  } cases[] = {
      {u"device", u"device", 0},
      {u" device", u"device", 1},
      {u"List of devices attached\nemulator-5554\tdevice\n", u"device", 2},
      {u"List of devices attached\n", u"device", 1},
      {u"aaaa", u"aa", 2},
      {u"", u"device", 0},
      {u"List of devices attached\nX\toffline\nY\tunauthorized\n", u"unauthorized", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(CountOccurrences(c.text, c.word), c.count) << text::ToUtf8(c.text);
}

TEST(FailureWords, FirstWordInTableOrderDecides) {
  const struct {
    const char16_t* output;
    int message;  // 0: no word
  } cases[] = {
      {u"Failure [INSTALL_FAILED_TEST_ONLY]", 44},
      {u"Failure [INSTALL_FAILED_INSUFFICIENT_STORAGE] INSTALL_FAILED_ALREADY_EXISTS", 43},
      {u"Failure [INSTALL_PARSE_FAILED_INCONSISTENT_CERTIFICATES]", 64},
      {u"Failure [install_failed_already_exists]", 0},
      {u"Failure [INSTALL_FAILED_VERSION_DOWNGRADE]", 0},
      {u"", 0},
  };
  for (const auto& c : cases) {
    const FailureRow* row = FindFailureRow(c.output);
    EXPECT_EQ(row ? row->message : 0, c.message) << text::ToUtf8(c.output);
  }
}

TEST(IconEntryName, PrefersTheFirstHdpiDrawableElseTheFirstIconLine) {
  const struct {
    const char16_t* badging;
    const char16_t* entry;
  } cases[] = {
      {u"application-icon-160:'res/drawable-mdpi/ic_launcher.png'\n"
       u"application-icon-240:'res/drawable-hdpi/ic_launcher.png'\n",
       u"res/drawable-hdpi/ic_launcher.png"},
      {u"application-icon-120:'res/drawable-ldpi/icon.png'\napplication-icon-160:'res/drawable-mdpi/icon.png'\n",
       u"res/drawable-ldpi/icon.png"},
      {u"application-icon-240:'res/drawable-hdpi-v4/icon.png'\n", u"res/drawable-hdpi-v4/icon.png"},
      {u"application: label='x' icon='res/drawable-mdpi/icon.png'\n", u""},
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(IconEntryName(c.badging), c.entry) << text::ToUtf8(c.badging);
}

TEST(SplitCommandLine, FollowsTheWindowsRuntimeRules) {
  using Args = std::vector<std::u16string>;
  const struct {
    const char16_t* line;
    Args args;
  } cases[] = {
      {u" dump badging \"C:\\a b\\nvApkInstall.apk\"", {u"dump", u"badging", u"C:\\a b\\nvApkInstall.apk"}},
      {u"  install -s  -r \"x y\"", {u"install", u"-s", u"-r", u"x y"}},
      {u"  install  -r \"p\"", {u"install", u"-r", u"p"}},
      {u" shell \"ls sdcard/\"", {u"shell", u"ls sdcard/"}},
      {u"a\\\\\"b c\"", {u"a\\b c"}},
      {u"a\\\"b", {u"a\"b"}},
      {u"\"\"", {u""}},
      {u"   ", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << text::ToUtf8(c.line);
}

TEST(DecodeToolOutput, ValidUtf8WinsOverTheAnsiCodePage) {
  text::SetAnsiCodeSetForTesting("GBK");
  EXPECT_EQ(DecodeToolOutput("versionName='\xe7\x89\x88\xe6\x9c\xac'"), u"versionName='版本'");
  EXPECT_EQ(DecodeToolOutput("\xb0\xe6\xb1\xbe"), u"版本");  // GBK bytes are not UTF-8
  text::SetAnsiCodeSetForTesting("");
}

}  // namespace
}  // namespace norvex::sideloader
