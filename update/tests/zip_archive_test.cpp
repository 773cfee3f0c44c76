// The zip front end against archives written here with minizip's own writer: listing, random
// access to items, extraction into a real folder (missing folders, replacing, things in the
// way, damaged items) and the cleaning of hostile item names so nothing lands outside the
// installation folder.
#include "zip_archive.h"

#include <gtest/gtest.h>
#include <minizip/zip.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "file_system.h"
#include "text.h"

namespace norvex::update {
namespace {

namespace stdfs = std::filesystem;

struct ZipItem {
  std::string name;  // stored as UTF-8; ends in "/" for a folder item
  std::string content;
  int method = Z_DEFLATED;  // 0 stores the content as it is
};

void WriteZip(const stdfs::path& file, const std::vector<ZipItem>& items) {
  zipFile zip = zipOpen64(file.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr) << file;
  for (const auto& item : items) {
    zip_fileinfo info{};
    constexpr uLong kUtf8Name = 1 << 11;
    ASSERT_EQ(zipOpenNewFileInZip4_64(zip, item.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, item.method,
                                      item.method == 0 ? 0 : Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                                      Z_DEFAULT_STRATEGY, nullptr, 0, 0, kUtf8Name, 0),
              ZIP_OK)
        << item.name;
    if (!item.content.empty()) {
      ASSERT_EQ(zipWriteInFileInZip(zip, item.content.data(), static_cast<unsigned>(item.content.size())), ZIP_OK);
    }
    ASSERT_EQ(zipCloseFileInZip(zip), ZIP_OK);
  }
  ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
}

std::string ReadAll(const stdfs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A temporary folder with a Chinese name, holding the archive and an installation folder.
class ZipArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (stdfs::temp_directory_path() / "zip-\xE5\xAE\x89\xE8\xA3\x85-XXXXXX").string();  // 安装
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    archive_ = root_ / "\xE6\x8F\x92\xE4\xBB\xB6.zip";  // 插件.zip
    stdfs::create_directory(root_ / "inst");
  }
  void TearDown() override {
    std::error_code ignored;
    for (const auto& entry : stdfs::recursive_directory_iterator(root_, ignored)) {
      stdfs::permissions(entry.path(), stdfs::perms::owner_all, stdfs::perm_options::add, ignored);
    }
    stdfs::remove_all(root_, ignored);
  }

  std::u16string Wide(const stdfs::path& p) const { return text::FromUtf8(p.string()); }
  std::u16string Inst(const std::u16string& relative) const { return Wide(root_ / "inst") + u"\\" + relative; }
  stdfs::path InstNative(const std::u16string& relative) const { return text::ToPosixPath(Inst(relative)); }

  // Writes the archive and opens it.
  void OpenArchive(ZipArchive& zip, const std::vector<ZipItem>& items) {
    WriteZip(archive_, items);
    ASSERT_TRUE(zip.Open(Wide(archive_)));
  }

  std::set<std::string> Listing(const stdfs::path& folder) const {
    std::set<std::string> names;
    for (const auto& entry : stdfs::recursive_directory_iterator(folder)) {
      names.insert(stdfs::relative(entry.path(), folder).string());
    }
    return names;
  }

  stdfs::path root_;
  stdfs::path archive_;
};

TEST_F(ZipArchiveTest, ListsItemsInAnyOrderWithTheirKinds) {
  ZipArchive zip;
  OpenArchive(zip, {{"plugins/", ""},
                    {"plugins\\sub\\", ""},
                    {"plugins/a.txt", "a"},
                    {"\xE6\x8F\x92\xE4\xBB\xB6/\xE8\xAF\xB4\xE6\x98\x8E.txt", "b"}});  // 插件/说明.txt
  ASSERT_EQ(zip.ItemCount(), 4);
  const struct {
    int index;
    std::u16string name;
    bool folder;
  } cases[] = {{2, u"plugins/a.txt", false},
               {0, u"plugins/", true},
               {3, u"插件/说明.txt", false},
               {1, u"plugins\\sub\\", true},
               {1, u"plugins\\sub\\", true}};
  for (const auto& c : cases) {
    const auto item = zip.ItemAt(c.index);
    ASSERT_TRUE(item.has_value()) << c.index;
    EXPECT_EQ(item->name, c.name) << c.index;
    EXPECT_EQ(item->isFolder, c.folder) << c.index;
  }
  EXPECT_FALSE(zip.ItemAt(4).has_value());
  EXPECT_FALSE(zip.ItemAt(-1).has_value());
  ASSERT_TRUE(zip.ItemAt(0).has_value()) << "a failed step does not lose the archive";
}

TEST_F(ZipArchiveTest, RefusesWhatIsNoArchive) {
  std::ofstream(root_ / "text.zip") << "PK but not really an archive";
  ZipArchive zip;
  EXPECT_FALSE(zip.ItemCount().has_value()) << "nothing open";
  EXPECT_FALSE(zip.ItemAt(0).has_value());
  EXPECT_FALSE(zip.Extract(0, Inst(u"x")));
  for (const auto& path : {root_ / "missing.zip", root_ / "text.zip", root_ / "inst"}) {
    EXPECT_FALSE(zip.Open(Wide(path))) << path;
    EXPECT_FALSE(zip.ItemCount().has_value()) << path;
  }
  OpenArchive(zip, {{"a.txt", "a"}});
  zip.Close();
  EXPECT_FALSE(zip.ItemCount().has_value()) << "closed";
  ASSERT_TRUE(zip.Open(Wide(archive_)));
  EXPECT_EQ(zip.ItemCount(), 1);
}

TEST_F(ZipArchiveTest, ExtractsFoldersAndFilesCreatingMissingFolders) {
  std::string big(300 * 1024, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 2654435761u) >> 11);
  ZipArchive zip;
  OpenArchive(zip, {{"a/b/", ""},
                    {"x\\y\\", ""},
                    {"deep/er/file.txt", "deep content"},
                    {"big.bin", big},
                    {"empty.txt", ""},
                    {"stored.txt", "kept as is", 0}});
  EXPECT_TRUE(zip.Extract(0, Inst(u"a\\b\\")));
  EXPECT_TRUE(zip.Extract(1, Inst(u"x\\y")));
  EXPECT_TRUE(zip.Extract(2, Inst(u"deep\\er\\file.txt")));
  EXPECT_TRUE(zip.Extract(3, Inst(u"big.bin")));
  EXPECT_TRUE(zip.Extract(4, Inst(u"empty.txt")));
  EXPECT_TRUE(zip.Extract(5, Inst(u"stored.txt")));
  EXPECT_TRUE(stdfs::is_directory(InstNative(u"a\\b")));
  EXPECT_TRUE(stdfs::is_directory(InstNative(u"x\\y")));
  EXPECT_EQ(ReadAll(InstNative(u"deep\\er\\file.txt")), "deep content");
  EXPECT_TRUE(ReadAll(InstNative(u"big.bin")) == big);
  EXPECT_EQ(ReadAll(InstNative(u"empty.txt")), "");
  EXPECT_EQ(ReadAll(InstNative(u"stored.txt")), "kept as is");
  EXPECT_TRUE(zip.Extract(0, Inst(u"a\\b\\"))) << "an existing folder is fine";
  EXPECT_EQ(Listing(root_ / "inst"), (std::set<std::string>{"a", "a/b", "x", "x/y", "deep", "deep/er",
                                                            "deep/er/file.txt", "big.bin", "empty.txt", "stored.txt"}))
      << "no partial files left behind";
}

TEST_F(ZipArchiveTest, ReplacesAnExistingFileButNotWhatIsInTheWay) {
  ZipArchive zip;
  OpenArchive(zip, {{"a.txt", "new"}, {"dir/f.txt", "new"}, {"dir/", ""}});
  std::ofstream(InstNative(u"a.txt")) << "the old and much longer content";
  ASSERT_TRUE(zip.Extract(0, Inst(u"a.txt")));
  EXPECT_EQ(ReadAll(InstNative(u"a.txt")), "new");

  std::ofstream(InstNative(u"ro.txt")) << "old";
  ASSERT_TRUE(fs::SetReadOnly(Inst(u"ro.txt"), true));
  EXPECT_FALSE(zip.Extract(0, Inst(u"ro.txt"))) << "read-only file in the way";
  EXPECT_EQ(ReadAll(InstNative(u"ro.txt")), "old");

  stdfs::create_directory(InstNative(u"folder.txt"));
  EXPECT_FALSE(zip.Extract(0, Inst(u"folder.txt"))) << "folder in the way";
  EXPECT_TRUE(stdfs::is_directory(InstNative(u"folder.txt")));

  std::ofstream(InstNative(u"dir")) << "a file where a folder should be";
  EXPECT_FALSE(zip.Extract(1, Inst(u"dir\\f.txt")));
  EXPECT_FALSE(zip.Extract(2, Inst(u"dir\\"))) << "a file where the folder item goes";
  EXPECT_EQ(ReadAll(InstNative(u"dir")), "a file where a folder should be");
  EXPECT_EQ(Listing(root_ / "inst"), (std::set<std::string>{"a.txt", "ro.txt", "folder.txt", "dir"}));
}

// A damaged item must not destroy the file it would have replaced, nor count as written.
TEST_F(ZipArchiveTest, ADamagedItemLeavesTheOldFile) {
  const std::string content = "0123456789 content of the damaged item";
  // Sets the uncompressed size in the local and the central header alike, so minizip's own
  // coherence check passes and the item only comes up short.
  auto claimLength = [](std::string& bytes, std::uint32_t length) {
    for (const auto& [signature, offset] : {std::pair{std::string("PK\3\4"), 22}, {std::string("PK\1\2"), 24}}) {
      const auto at = bytes.find(signature);
      ASSERT_NE(at, std::string::npos);
      for (int i = 0; i < 4; ++i) bytes[at + offset + i] = static_cast<char>(length >> (8 * i));
    }
  };
  const struct {
    const char* name;
    int method;
    std::function<void(std::string&)> damage;
  } cases[] = {
      {"flipped byte, CRC differs", 0, [&](std::string& bytes) { bytes[bytes.find(content) + 5] ^= 0x20; }},
      {"holds fewer bytes than it claims", Z_DEFLATED,
       [&](std::string& bytes) { claimLength(bytes, static_cast<std::uint32_t>(content.size() + 1)); }},
  };
  for (const auto& c : cases) {
    WriteZip(archive_, {{"a.txt", content, c.method}});
    std::string bytes = ReadAll(archive_);
    c.damage(bytes);
    std::ofstream(archive_, std::ios::binary | std::ios::trunc) << bytes;
    std::ofstream(InstNative(u"a.txt")) << "old";

    ZipArchive zip;
    ASSERT_TRUE(zip.Open(Wide(archive_))) << c.name;
    EXPECT_FALSE(zip.Extract(0, Inst(u"a.txt"))) << c.name;
    EXPECT_EQ(ReadAll(InstNative(u"a.txt")), "old") << c.name;
    EXPECT_EQ(Listing(root_ / "inst"), std::set<std::string>{"a.txt"}) << c.name;
  }
}

TEST(CleanItemName, DropsDrivesLeadingSeparatorsAndClimbs) {
  const std::u16string long259(259, u'n');
  const struct {
    std::u16string name;
    std::u16string cleaned;
  } cases[] = {
      {u"plugins/a.txt", u"plugins/a.txt"},
      {u"C:\\tmp\\..\\plugins\\a.txt", u"plugins\\a.txt"},
      {u"/abs.txt", u"abs.txt"},
      {u"\\\\server\\share\\x", u"server\\share\\x"},
      {u"C:D:\\x", u"x"},
      {u"C:", u""},
      {u"x:/", u""},
      {u"a/..\\b", u"b"},
      {u"a\\../b", u"b"},
      {u"a/../C:/x", u"x"},
      {u"..\\evil.txt", u"..\\evil.txt"},
      {u"../evil.txt", u"../evil.txt"},
      {u"plugins/../../evil.txt", u"../evil.txt"},
      {u"a\\..\\..\\b", u"..\\b"},
      {u"C:/../x", u"../x"},
      {u"a\\..", u"a\\.."},
      {u"plugins\\a..b\\c", u"plugins\\a..b\\c"},
      {u"插件\\..\\说明.txt", u"说明.txt"},
      {long259, long259},
      {u"C:\\" + long259, long259},
      {long259 + u"n", u""},
      {u"a/../" + long259 + u"n", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(CleanItemName(c.name), c.cleaned) << text::ToUtf8(c.name).substr(0, 60);
}

TEST(EscapesFolder, FlagsNamesThatLeaveTheFolder) {
  const struct {
    std::u16string name;
    bool escapes;
  } cases[] = {
      {u"plugins\\a.txt", false},
      {u"plugins/", false},
      {u"a\\..\\b", false},
      {u".\\a", false},
      {u"a\\.\\b", false},
      {u"a\\..", false},
      {u"a..b\\c", false},
      {u".hidden", false},
      {u"a//b", false},
      {u"说明.txt", false},
      {u"..\\evil.txt", true},
      {u"../evil.txt", true},
      {u"..", true},
      {u"a\\..\\..\\b", true},
      {u"a/../../b", true},
      {u"/abs.txt", true},
      {u"\\abs.txt", true},
      {u"C:x", true},
      {u"", true},
      {u"a\\...\\b", true},
      {u"a\\.. \\b", true},
      {u". .", true},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapesFolder(c.name), c.escapes) << text::ToUtf8(c.name);
}

// Unpacked the way the update does it: clean, skip what escapes, extract below the folder.
TEST_F(ZipArchiveTest, HostileNamesStayInsideTheInstallationFolder) {
  ZipArchive zip;
  OpenArchive(zip, {{"plugins/", ""},
                    {"C:\\tmp\\..\\plugins\\a.txt", "a"},
                    {"..\\evil.txt", "evil"},
                    {"plugins/../../evil.txt", "evil"},
                    {"a\\..\\..\\evil.txt", "evil"},
                    {"plugins/.../evil.txt", "evil"},
                    {"/abs.txt", "abs"}});
  const auto count = zip.ItemCount();
  ASSERT_TRUE(count.has_value());
  int skipped = 0;
  for (int j = 0; j < *count; ++j) {
    const auto item = zip.ItemAt(j);
    ASSERT_TRUE(item.has_value());
    const std::u16string name = CleanItemName(item->name);
    if (EscapesFolder(name)) {
      ++skipped;
      continue;
    }
    EXPECT_TRUE(zip.Extract(j, Inst(name))) << text::ToUtf8(name);
  }
  EXPECT_EQ(skipped, 4);
  EXPECT_EQ(ReadAll(InstNative(u"plugins\\a.txt")), "a");
  EXPECT_EQ(ReadAll(InstNative(u"abs.txt")), "abs");
  EXPECT_EQ(Listing(root_), (std::set<std::string>{"inst", "inst/plugins", "inst/plugins/a.txt", "inst/abs.txt",
                                                   archive_.filename().string()}));
}

}  // namespace
}  // namespace norvex::update
