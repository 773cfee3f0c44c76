// The text conversions every program relies on, case by case.
#include <gtest/gtest.h>

#include "text.h"

namespace norvex::text {
namespace {

struct Utf8Case {
  const char* name;
  std::string utf8;
  std::u16string utf16;
  bool valid;
};

TEST(Utf8, DecodesAndFlagsEachCase) {
  const Utf8Case cases[] = {
      {"ascii", "update.exe", u"update.exe", true},
      {"chinese", "\xE4\xB8\xAD\xE6\x96\x87", u"中文", true},
      {"astral", "\xF0\x9F\x98\x80", u"\U0001F600", true},
      {"genuine replacement char", "\xEF\xBF\xBD", u"\uFFFD", true},
      {"lone continuation", "a\x80" "b", u"a\uFFFDb", false},
      {"truncated at end", "ab\xE4\xB8", u"ab\uFFFD", false},
      {"truncated before ascii", "\xE4\xB8Z", u"\uFFFDZ", false},
      {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD", false},
      {"overlong three-byte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD", false},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", false},
      {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", false},
      {"invalid lead", "\xFF", u"\uFFFD", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FromUtf8(c.utf8), c.utf16) << c.name;
    EXPECT_EQ(IsValidUtf8(c.utf8), c.valid) << c.name;
  }
}

TEST(Utf8, EncodesAndReplacesUnpairedSurrogates) {
  EXPECT_EQ(ToUtf8(u"中文 \U0001F600"), "\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80");
  const char16_t loneHigh[] = {u'a', 0xD800, u'b', 0};
  const char16_t loneLowAtEnd[] = {u'a', 0xDC00, 0};
  EXPECT_EQ(ToUtf8(loneHigh), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(ToUtf8(loneLowAtEnd), "a\xEF\xBF\xBD");
}

class AnsiCodePage : public ::testing::Test {
 protected:
  void TearDown() override { SetAnsiCodeSetForTesting(""); }
};

TEST_F(AnsiCodePage, GbkSystemRoundTripsChineseAndReplacesWhatItCannotHold) {
  SetAnsiCodeSetForTesting("GBK");
  struct Case {
    std::u16string wide;
    std::string ansi;
  } const cases[] = {
      {u"VantrelTool", "VantrelTool"},
      {u"中文路径\\a.txt", "\xD6\xD0\xCE\xC4\xC2\xB7\xBE\xB6\\a.txt"},
      {u"a\U0001F600b", "a?b"},  // one '?' for the whole surrogate pair
      {u"\u0E01", "?"},          // Thai: not in GBK
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ToAnsi(c.wide), c.ansi);
    EXPECT_EQ(ToAnsi(c.wide, CodePage::ThreadAnsi), c.ansi);
  }
  EXPECT_EQ(FromAnsi("\xD6\xD0\xCE\xC4"), u"中文");
  EXPECT_EQ(FromAnsi("\xD6\xD0\xCE\xC4", CodePage::ThreadAnsi), u"中文");
  EXPECT_EQ(FromAnsi("a\xFF" "b"), u"a\uFFFDb");      // 0xFF is no GBK lead byte
  EXPECT_EQ(FromAnsi("ab\xD6"), u"ab\uFFFD");         // a lead byte cut off at the end
}

TEST_F(AnsiCodePage, FollowsTheLocaleWhenNotOverridden) {
  // Under the test's C locale the code page is ASCII: anything else is replaced.
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(ToAnsi(u"ab中"), "ab?");
  setenv("LC_ALL", "zh_CN.GBK", 1);
  EXPECT_EQ(ToAnsi(u"中"), "\xD6\xD0");
  unsetenv("LC_ALL");
}

TEST(AsciiCase, FoldsOnlyAsciiLetters) {
  EXPECT_EQ(AsciiUpper(u"zh_tw Ä ß 中"), u"ZH_TW Ä ß 中");
  EXPECT_TRUE(EqualsNoCase(u"C:\\Program Files\\UPDATE.exe", u"c:\\program files\\update.EXE"));
  EXPECT_FALSE(EqualsNoCase(u"ä", u"Ä"));
  EXPECT_FALSE(EqualsNoCase(u"host", u"hostx"));
}

TEST(PosixPath, TurnsEveryBackslashIntoASlash) {
  EXPECT_EQ(ToPosixPath(u"\\tmp\\升级\\a.zip"), "/tmp/\xE5\x8D\x87\xE7\xBA\xA7/a.zip");
  EXPECT_EQ(ToPosixPath(u"rel\\\\x/y"), "rel//x/y");
  EXPECT_EQ(ToPosixPath(u""), "");
}

TEST(WideToInt, BehavesLikeTheCLibrary) {
  struct Case {
    std::u16string text;
    std::int32_t value;
  } const cases[] = {
      {u" 12", 12},          {u"-3", -3},  {u"12abc", 12},         {u"abc", 0},
      {u"", 0},              {u"+7", 7},   {u"\t\n 42", 42},       {u"- 5", 0},
      {u"2147483647", 2147483647},         {u"99999999999", 2147483647},
      {u"-2147483648", -2147483647 - 1},   {u"-99999999999", -2147483647 - 1},
      {u"\u00A012", 0},  // only C white space is skipped
  };
  for (const auto& c : cases) EXPECT_EQ(WideToInt(c.text), c.value) << ToUtf8(c.text);
}

}  // namespace
}  // namespace norvex::text
