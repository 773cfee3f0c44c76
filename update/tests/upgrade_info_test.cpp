// The upgrade information file and the package check: the digest itself, decoding of the
// protected file, the record built from its JSON (types, code bits, text conversions) and the
// verdicts on package files, each against small files made here.
#include "upgrade_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "md5.h"
#include "text.h"

namespace norvex::update {
namespace {

std::string Md5Of(const std::string& s) { return Md5Hex(s.data(), s.size()); }

TEST(Md5, MatchesTheReferenceVectors) {
  const struct {
    std::string input;
    const char* digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
      {std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21"},
      // Lengths where the padding spills into a second block, or just does not.
      {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
      {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
      {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
      {std::string(119, 'a'), "8a7bd0732ed6a28ce75f6dabc90e1613"},
      {std::string(120, 'a'), "5f61c0ccad4cac44c75ff505e1f1e537"},
  };
  for (const auto& c : cases) EXPECT_EQ(Md5Of(c.input), c.digest) << c.input.substr(0, 20);
}

// Lengths around the padding boundaries (55/56, 63/64/65, 119/120), fed in uneven pieces, must
// give the digest of the whole input: the buffered path and the direct path agree.
TEST(Md5, PiecewiseInputGivesTheSameDigest) {
  for (std::size_t length : {0u, 1u, 55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 128u, 1000u}) {
    std::string input(length, '\0');
    for (std::size_t i = 0; i < length; ++i) input[i] = static_cast<char>(i * 37 + 11);
    const std::string whole = Md5Of(input);
    for (std::size_t piece : {1u, 3u, 63u, 64u, 65u, 100u}) {
      Md5 md5;
      for (std::size_t at = 0; at < length; at += piece) md5.Update(input.data() + at, std::min(piece, length - at));
      EXPECT_EQ(DigestHex(md5.Finish()), whole) << "length " << length << " piece " << piece;
    }
  }
}

class TempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "upgrade-info-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  // Writes a file under the folder and gives its path as the updater spells it.
  std::u16string WriteFile(const std::string& name, const std::string& content) {
    std::ofstream(root_ / name, std::ios::binary) << content;
    return Path(name);
  }
  std::u16string Path(const std::string& name) const { return text::FromUtf8((root_ / name).string()); }

  std::filesystem::path root_;
};

using Md5File = TempFolder;

TEST_F(Md5File, StreamsFilesAcrossChunkBoundaries) {
  std::string content(3 * (1 << 20) + 17, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>((i * 2654435761u) >> 13);
  std::string digest;
  ASSERT_TRUE(Md5HexOfFile(WriteFile("big.bin", content), digest));
  EXPECT_EQ(digest, Md5Of(content));
  ASSERT_TRUE(Md5HexOfFile(WriteFile("empty.bin", ""), digest));
  EXPECT_EQ(digest, "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_FALSE(Md5HexOfFile(Path("missing.bin"), digest));
  EXPECT_FALSE(Md5HexOfFile(text::FromUtf8(root_.string()), digest)) << "a folder has no digest";
  // Opens, but reading at offset 0 fails: a digest of what was read so far would be wrong.
  EXPECT_FALSE(Md5HexOfFile(u"\\proc\\self\\mem", digest));
}

// Builds an information file: header digest over everything from the lead byte on.
std::vector<std::uint8_t> Encode(const std::string& text, std::uint8_t lead = 0x5a, const std::string& after = "") {
  std::vector<std::uint8_t> file(16, 0);
  file.push_back(lead);
  for (char c : text) file.push_back(static_cast<std::uint8_t>(~static_cast<unsigned char>(c)));
  file.insert(file.end(), after.begin(), after.end());
  Md5 md5;
  md5.Update(file.data() + 16, file.size() - 16);
  const Md5Digest digest = md5.Finish();
  std::copy(digest.begin(), digest.end(), file.begin());
  return file;
}

TEST(DecodeUpgradeInfo, ChecksTheDigestAndUncoversTheText) {
  const std::string json = R"({"models":[]})";
  auto withLead = [&](std::uint8_t lead) { return Encode(json, lead); };
  auto changed = [&](std::size_t at) {
    auto file = Encode(json);
    file[at] ^= 0x01;
    return file;
  };
  auto truncated = [](std::vector<std::uint8_t> file, std::size_t n) {
    file.resize(n);
    return file;
  };
  std::vector<std::uint8_t> emptyRest(16);  // header = digest of nothing
  {
    Md5 md5;
    const Md5Digest d = md5.Finish();
    std::copy(d.begin(), d.end(), emptyRest.begin());
  }
  const struct {
    const char* name;
    std::vector<std::uint8_t> file;
    CheckResult verdict;
    std::string text;
  } cases[] = {
      {"lead byte 0", withLead(0x00), CheckResult::CheckOk, json},
      {"lead byte 0xff", withLead(0xff), CheckResult::CheckOk, json},
      {"lead byte changed after digesting", changed(16), CheckResult::CheckDamaged, ""},
      {"text byte changed", changed(20), CheckResult::CheckDamaged, ""},
      {"header byte changed", changed(3), CheckResult::CheckDamaged, ""},
      {"stored 0xff ends the text", Encode(json, 1, std::string("\xff\x84\x82", 3)), CheckResult::CheckOk, json},
      {"only header and lead byte", Encode(""), CheckResult::CheckOk, ""},
      {"only the header", emptyRest, CheckResult::CheckOk, ""},
      {"15 bytes", truncated(Encode(json), 15), CheckResult::CheckDamaged, ""},
      {"empty file", {}, CheckResult::CheckDamaged, ""},
      {"last byte cut off", truncated(Encode(json), Encode(json).size() - 1), CheckResult::CheckDamaged, ""},
  };
  for (const auto& c : cases) {
    std::string text = "left over";
    EXPECT_EQ(DecodeUpgradeInfo(c.file.data(), c.file.size(), text), c.verdict) << c.name;
    EXPECT_EQ(text, c.text) << c.name;
  }
}

TEST(ParseUpgradeInfo, BuildsTheRecordFromACommentedDocument) {
  const std::string json = R"(// written by the host
    { "displayVersion": "3.2.1",
      /* two entries */
      "models": [
        {"modelName": "core", "fileName": "core.dll", "path": "C:\\dl\\core.dll",
         "md5": "ABCDEF", "operationCode": 2, "size": 300},
        {"modelName": "plugins", "fileName": "plugins.zip", "operationCode": 65537}
      ] })";
  UpgradeInfo info;
  ASSERT_EQ(ParseUpgradeInfo(json, info), CheckResult::CheckOk);
  EXPECT_EQ(info.m_strDisplayVersion, u"3.2.1");
  ASSERT_EQ(info.m_entries.size(), 2u);
  const UpgradeEntry& core = info.m_entries[0];
  EXPECT_EQ(core.m_strModelName, u"core");
  EXPECT_EQ(core.m_strFileName, u"core.dll");
  EXPECT_EQ(core.m_strPath, u"C:\\dl\\core.dll");
  EXPECT_EQ(core.m_strMd5, u"ABCDEF");
  EXPECT_EQ(core.m_nOperationCode, OperationReplace);
  EXPECT_EQ(core.m_nSize, 300);
  const UpgradeEntry& plugins = info.m_entries[1];
  EXPECT_EQ(plugins.m_nOperationCode, OperationAdd) << "65537 keeps its low 16 bits";
  EXPECT_EQ(plugins.m_nSize, 0) << "missing size";
  EXPECT_EQ(plugins.m_strPath, u"");
  EXPECT_EQ(plugins.m_strMd5, u"");
  EXPECT_EQ(info.m_nTotalSize, 300);
}

TEST(ParseUpgradeInfo, KeepsOnlyTheLowSixteenBitsOfTheCode) {
  const struct {
    const char* code;
    std::int16_t expected;
  } cases[] = {
      {"0", 0},   {"5", 5},          {"65536", 0},      {"65537", 1},  {"65538", 2},
      {"-1", -1}, {"32768", -32768}, {"4294967297", 1}, {"-65535", 1}, {"18446744073709551615", -1},
      {"2.0", 2}, {"1e3", 1000},
  };
  for (const auto& c : cases) {
    UpgradeInfo info;
    const std::string json = std::string(R"({"models":[{"modelName":"m","operationCode":)") + c.code + "}]}";
    ASSERT_EQ(ParseUpgradeInfo(json, info), CheckResult::CheckOk) << c.code;
    ASSERT_EQ(info.m_entries.size(), 1u);
    EXPECT_EQ(info.m_entries[0].m_nOperationCode, c.expected) << c.code;
  }
}

TEST(ParseUpgradeInfo, SumsSizesIncludingZeroAndNegative) {
  UpgradeInfo info;
  ASSERT_EQ(ParseUpgradeInfo(R"({"models":[{"modelName":"a","size":0},{"modelName":"b"}]})", info),
            CheckResult::CheckOk);
  EXPECT_EQ(info.m_nTotalSize, 0);
  ASSERT_EQ(
      ParseUpgradeInfo(
          R"({"models":[{"modelName":"a","size":2147483647},{"modelName":"b","size":-7},{"modelName":"c","size":7}]})",
          info),
      CheckResult::CheckOk);
  EXPECT_EQ(info.m_nTotalSize, 2147483647);
}

TEST(ParseUpgradeInfo, DocumentsWithoutEntriesAreUnderstood) {
  for (const char* json : {R"({"displayVersion":"1"})", R"({"models":[]})", R"({"models":{"modelName":"x"}})",
                           R"({"models":"x"})", R"({"models":null})", "[1,2,3]", "42", R"("text")", "{}"}) {
    UpgradeInfo info;
    info.m_entries.resize(3);
    EXPECT_EQ(ParseUpgradeInfo(json, info), CheckResult::CheckOk) << json;
    EXPECT_TRUE(info.m_entries.empty()) << json;
  }
}

// Each case is one defect in an otherwise good document; every one refuses the whole record.
TEST(ParseUpgradeInfo, RefusesTextItCannotUnderstand) {
  const std::string deep = std::string(5000, '[') + std::string(5000, ']');
  const std::string cases[] = {
      "",
      "   // only a comment",
      R"({"models":[)",
      R"({"models":[{"modelName":"a",}]})",
      R"({"displayVersion":3,"models":[{"modelName":"a"}]})",
      R"({"models":[{"modelName":"a"}, 7]})",
      R"({"models":[{"modelName":"a"}, null]})",
      R"({"models":[{"modelName":"a"}, ["modelName"]]})",
      R"({"models":[{"fileName":"a.dll"}]})",
      R"({"models":[{"modelName":5}]})",
      R"({"models":[{"modelName":null}]})",
      R"({"models":[{"modelName":"a","fileName":12}]})",
      R"({"models":[{"modelName":"a","path":true}]})",
      R"({"models":[{"modelName":"a","md5":["x"]}]})",
      R"({"models":[{"modelName":"a","size":"12"}]})",
      R"({"models":[{"modelName":"a","size":1.5}]})",
      R"({"models":[{"modelName":"a","size":2147483648}]})",
      R"({"models":[{"modelName":"a","operationCode":"1"}]})",
      R"({"models":[{"modelName":"a","operationCode":true}]})",
      R"({"models":[{"modelName":"a","operationCode":0.5}]})",
      R"({"models":[{"modelName":"a","operationCode":1e30}]})",
      R"({"models":[{"modelName":"a","size":2147483647},{"modelName":"b","size":1}]})",
      deep,
  };
  for (const auto& json : cases) {
    UpgradeInfo info;
    info.m_strDisplayVersion = u"old";
    EXPECT_EQ(ParseUpgradeInfo(json, info), CheckResult::CheckFailed) << json.substr(0, 80);
    EXPECT_TRUE(info.m_entries.empty() && info.m_strDisplayVersion.empty() && info.m_nTotalSize == 0)
        << json.substr(0, 80);
  }
}

// Only "path" is UTF-8; the other texts are in the system's ANSI code page, here GBK.
TEST(ParseUpgradeInfo, ConvertsPathFromUtf8AndTheOtherTextsFromTheAnsiCodePage) {
  struct CodeSetGuard {
    CodeSetGuard() { text::SetAnsiCodeSetForTesting("GBK"); }
    ~CodeSetGuard() { text::SetAnsiCodeSetForTesting(""); }
  } gbk;
  const std::string plugin = "\xB2\xE5\xBC\xFE";            // 插件 in GBK
  const std::string version = "\xB0\xE6\xB1\xBE";           // 版本 in GBK
  const std::string download = "\xE4\xB8\x8B\xE8\xBD\xBD";  // 下载 in UTF-8
  const std::string json = "{\"displayVersion\":\"" + version + " 2\",\"models\":[{\"modelName\":\"" + plugin +
                           "\",\"fileName\":\"" + plugin + ".zip\",\"md5\":\"" + plugin + "\",\"path\":\"C:\\\\" +
                           download + "\\\\" + "\\u4e2d.zip\"}]}";
  UpgradeInfo info;
  ASSERT_EQ(ParseUpgradeInfo(json, info), CheckResult::CheckOk);
  EXPECT_EQ(info.m_strDisplayVersion, u"版本 2");
  ASSERT_EQ(info.m_entries.size(), 1u);
  EXPECT_EQ(info.m_entries[0].m_strModelName, u"插件");
  EXPECT_EQ(info.m_entries[0].m_strFileName, u"插件.zip");
  EXPECT_EQ(info.m_entries[0].m_strMd5, u"插件");
  EXPECT_EQ(info.m_entries[0].m_strPath, u"C:\\下载\\中.zip");
}

TEST(UpgradeInfoFile, DecodesAndParsesEndToEnd) {
  const auto file = Encode(R"({"displayVersion":"9", // trailing comment
                             "models":[{"modelName":"m","fileName":"a.dll","operationCode":1,"size":4}]})",
                           0xc3, std::string("\xff\x00\x01", 3));
  std::string text;
  ASSERT_EQ(DecodeUpgradeInfo(file.data(), file.size(), text), CheckResult::CheckOk);
  UpgradeInfo info;
  ASSERT_EQ(ParseUpgradeInfo(text, info), CheckResult::CheckOk);
  EXPECT_EQ(info.m_strDisplayVersion, u"9");
  ASSERT_EQ(info.m_entries.size(), 1u);
  EXPECT_EQ(info.m_entries[0].m_strFileName, u"a.dll");
  EXPECT_EQ(info.m_nTotalSize, 4);
}

using VerifyPackageTest = TempFolder;

TEST_F(VerifyPackageTest, ComparesThePackageDigestIgnoringCase) {
  const std::string content = "new core library";
  const std::u16string package = WriteFile("core.dll", content);
  const std::u16string chinese = WriteFile("\xE6\x8F\x92\xE4\xBB\xB6.dll", content);  // 插件.dll
  const std::u16string empty = WriteFile("empty.dll", "");
  const std::u16string lower = text::FromUtf8(Md5Of(content));
  const std::u16string upper = text::AsciiUpper(lower);
  const std::u16string missing = Path("missing.dll");
  const std::u16string folder = text::FromUtf8(root_.string());
  const struct {
    const char* name;
    std::int16_t code;
    std::u16string path;
    std::u16string md5;
    CheckResult verdict;
  } cases[] = {
      {"matching digest", OperationAdd, package, lower, CheckResult::CheckOk},
      {"upper-case digest", OperationReplace, package, upper, CheckResult::CheckOk},
      {"Chinese file name", OperationAdd, chinese, lower, CheckResult::CheckOk},
      {"empty package", OperationAdd, empty, u"D41D8CD98F00B204E9800998ECF8427E", CheckResult::CheckOk},
      {"removal needs no package", OperationRemove, missing, u"", CheckResult::CheckOk},
      {"removal ignores a wrong digest", OperationRemove, package, u"00", CheckResult::CheckOk},
      {"unknown code, wrong digest", 5, package, text::FromUtf8(Md5Of("old")), CheckResult::CheckDamaged},
      {"unknown code, right digest", 5, package, lower, CheckResult::CheckOk},
      {"missing package", OperationAdd, missing, lower, CheckResult::CheckDamaged},
      {"a folder is no package", OperationAdd, folder, lower, CheckResult::CheckDamaged},
      {"empty digest text", OperationAdd, package, u"", CheckResult::CheckDamaged},
      {"digest with a trailing space", OperationAdd, package, lower + u" ", CheckResult::CheckDamaged},
  };
  for (const auto& c : cases) {
    UpgradeEntry entry;
    entry.m_nOperationCode = c.code;
    entry.m_strPath = c.path;
    entry.m_strMd5 = c.md5;
    EXPECT_EQ(VerifyPackage(entry), c.verdict) << c.name;
  }
}

TEST(IsFolderEntry, LooksAtTheLastFourCharactersInAnyCase) {
  const struct {
    std::u16string name;
    bool folder;
  } cases[] = {
      {u"plugins.zip", true}, {u"plugins.ZIP", true}, {u"a\\b.Zip", true},         {u".zip", true},
      {u"插件.zIp", true},    {u"zip", false},        {u"plugins.zip.bak", false}, {u"pluginszip", false},
      {u"", false},           {u"a.zi", false},       {u"update.exe", false},      {u"plugins.zip ", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsFolderEntry(c.name), c.folder) << text::ToUtf8(c.name);
}

}  // namespace
}  // namespace norvex::update
