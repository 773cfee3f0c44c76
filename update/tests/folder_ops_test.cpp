// Tests of the updater's folder operations on real temporary folders: file copies with and
// without progress, folder copies, counting, deleting trees, creating parent folders and the
// restore of a backup after a failed update.
#include "folder_ops.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>  // mkdtemp
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "file_system.h"
#include "text.h"

namespace norvex::update {
namespace {

namespace stdfs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

class RecordingSink : public ProgressSink {
 public:
  void SetPosition(int position) override { positions.push_back(position); }
  std::vector<int> positions;
};

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + i / 4096) % 251);
  return bytes;
}

// A fresh folder per test; paths are handed to the code under test in the updater's own
// spelling (root + "\" + relative path with backslashes).
class FolderOpsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (stdfs::temp_directory_path() / "folder_ops_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override { stdfs::remove_all(root_); }

  std::u16string P(const std::string& relative) const { return text::FromUtf8(root_.string() + "\\" + relative); }
  stdfs::path N(std::string relative) const {
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return root_ / relative;
  }
  void Write(const std::string& relative, const std::string& bytes) const {
    stdfs::create_directories(N(relative).parent_path());
    std::ofstream(N(relative), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(N(relative), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void Folder(const std::string& relative) const { stdfs::create_directories(N(relative)); }
  // Every file and folder below `relative`, as sorted relative paths with file contents.
  std::vector<std::string> Tree(const std::string& relative) const {
    std::vector<std::string> items;
    for (const auto& entry : stdfs::recursive_directory_iterator(N(relative))) {
      const std::string name = stdfs::relative(entry.path(), N(relative)).string();
      items.push_back(entry.is_directory() ? name + "/" : name + "=" + Read(relative + "/" + name));
    }
    std::sort(items.begin(), items.end());
    return items;
  }
  bool Writable(const std::string& relative) const {
    return (stdfs::status(N(relative)).permissions() & stdfs::perms::owner_write) != stdfs::perms::none;
  }

  stdfs::path root_;
};

// The two file copies share everything but progress and the handling of an undeletable target.
struct CopyVariant {
  const char* name;
  std::function<bool(const std::u16string&, const std::u16string&, RecordingSink&)> copy;
};
const CopyVariant kCopies[] = {
    {"CopyOneFile", [](const auto& s, const auto& t, RecordingSink&) { return CopyOneFile(s, t); }},
    {"CopyFileWithProgress",
     [](const auto& s, const auto& t, RecordingSink& sink) { return CopyFileWithProgress(s, t, 0, 100, sink); }},
};

TEST_F(FolderOpsTest, FileCopiesReproduceEveryByteAndReplaceLongerTargets) {
  for (const CopyVariant& variant : kCopies) {
    for (std::size_t size : {0u, 1u, 4095u, 4096u, 4097u, 10000u, 3u * 4096u + 5u}) {
      SCOPED_TRACE(std::string(variant.name) + " size " + std::to_string(size));
      Write("src.bin", Pattern(size));
      Write("dst.bin", std::string(20000, 'x'));
      RecordingSink sink;
      ASSERT_TRUE(variant.copy(P("src.bin"), P("dst.bin"), sink));
      EXPECT_EQ(Read("dst.bin"), Pattern(size));
    }
  }
}

TEST_F(FolderOpsTest, FileCopyReplacesReadOnlyTargetWithWritableFile) {
  for (const CopyVariant& variant : kCopies) {
    SCOPED_TRACE(variant.name);
    Write("src.dll", "new version");
    Write("dst.dll", "old version, longer");
    ASSERT_TRUE(fs::SetReadOnly(P("dst.dll"), true));
    RecordingSink sink;
    ASSERT_TRUE(variant.copy(P("src.dll"), P("dst.dll"), sink));
    EXPECT_EQ(Read("dst.dll"), "new version");
    EXPECT_FALSE(fs::IsReadOnly(P("dst.dll")));
    EXPECT_TRUE(Writable("dst.dll"));
  }
}

TEST_F(FolderOpsTest, FileCopyFailuresLeaveTheFileSystemAsItWas) {
  for (const CopyVariant& variant : kCopies) {
    SCOPED_TRACE(variant.name);
    Write("src.dll", "payload");
    Write("kept.dll", "old");
    Folder("folder.dll\\inner");
    RecordingSink sink;
    // A missing source fails before the target is touched.
    EXPECT_FALSE(variant.copy(P("missing.dll"), P("kept.dll"), sink));
    EXPECT_EQ(Read("kept.dll"), "old");
    // No folder is made for a file copy.
    EXPECT_FALSE(variant.copy(P("src.dll"), P("nowhere\\dst.dll"), sink));
    EXPECT_FALSE(stdfs::exists(N("nowhere")));
    // A folder in the target's place can be neither deleted nor overwritten.
    EXPECT_FALSE(variant.copy(P("src.dll"), P("folder.dll"), sink));
    EXPECT_TRUE(stdfs::is_directory(N("folder.dll\\inner")));
    // A folder is not a source.
    EXPECT_FALSE(variant.copy(P("folder.dll"), P("dst.dll"), sink));
    EXPECT_THAT(sink.positions, IsEmpty());
  }
}

TEST_F(FolderOpsTest, FileCopyProgressFollowsTheBlocks) {
  struct Case {
    std::size_t size;
    int start, end;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {10000, 20, 40, {28, 36, 40}}, {0, 20, 40, {}},  // an empty source sends nothing
      {4096, 0, 100, {100}},         {8193, 10, 10, {10, 10, 10}},
      {4097, 100, 0, {1, 0}},  // -409600 / 4097 truncates towards zero to -99
      {12288, 0, 7, {2, 4, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("size " + std::to_string(c.size) + " from " + std::to_string(c.start) + " to " +
                 std::to_string(c.end));
    Write("src.bin", Pattern(c.size));
    RecordingSink sink;
    ASSERT_TRUE(CopyFileWithProgress(P("src.bin"), P("dst.bin"), c.start, c.end, sink));
    EXPECT_THAT(sink.positions, ElementsAreArray(c.expected));
  }
}

TEST_F(FolderOpsTest, FileCopyProgressStaysInRangeForFilesBeyond21MiB) {
  // 100 * position no longer fits 32 bits once position passes 21 474 836.
  const std::size_t size = 24u << 20;
  Write("big.bin", Pattern(size));
  RecordingSink sink;
  ASSERT_TRUE(CopyFileWithProgress(P("big.bin"), P("copy.bin"), 0, 100, sink));
  ASSERT_EQ(sink.positions.size(), size / kCopyBlockSize);
  EXPECT_TRUE(std::is_sorted(sink.positions.begin(), sink.positions.end()));
  EXPECT_GE(sink.positions.front(), 0);
  EXPECT_EQ(sink.positions.back(), 100);
  EXPECT_EQ(stdfs::file_size(N("copy.bin")), size);
}

// Files whose recorded length is not what reading yields: a sysfs attribute claims 4096 bytes
// and yields a few, a /proc file claims 0 and yields more. Either copy must end, with false.
TEST_F(FolderOpsTest, CopyFromSourceNotMatchingItsLengthFailsInsteadOfLooping) {
  std::vector<std::string> sources;
  for (const char* candidate : {"/sys/devices/system/cpu/online", "/proc/self/status"}) {
    std::ifstream in(candidate, std::ios::binary);
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::error_code error;
    const auto recorded = stdfs::file_size(candidate, error);
    if (!error && !content.empty() && recorded != content.size()) sources.push_back(candidate);
  }
  if (sources.empty()) GTEST_SKIP() << "no file here whose recorded length differs from its content";
  for (const std::string& source : sources) {
    for (const CopyVariant& variant : kCopies) {
      SCOPED_TRACE(std::string(variant.name) + " from " + source);
      // The alarm turns an endless copy into a kill by SIGALRM instead of a hung test run.
      EXPECT_EXIT(
          {
            ::alarm(10);
            RecordingSink sink;
            std::_Exit(variant.copy(text::FromUtf8(source), P("dst.bin"), sink) ? 0 : 3);
          },
          ::testing::ExitedWithCode(3), "");
    }
  }
}

TEST_F(FolderOpsTest, CountFilesCountsFilesOfTheWholeTreeOnly) {
  Write("tree\\a.txt", "a");
  Write("tree\\b.txt", "b");
  Write("tree\\sub\\c.txt", "c");
  Write("tree\\sub\\d.txt", "d");
  Write("tree\\sub\\e.txt", "e");
  Folder("tree\\sub\\empty");
  Folder("empty");
  EXPECT_EQ(CountFiles(P("tree")), 5);
  EXPECT_EQ(CountFiles(P("tree\\sub")), 3);
  EXPECT_EQ(CountFiles(P("empty")), 0);
  EXPECT_EQ(CountFiles(P("missing")), 0);
}

TEST_F(FolderOpsTest, FileExistsFindsFilesAndFolders) {
  Write("dir\\a.dll", "a");
  EXPECT_TRUE(FileExists(P("dir\\a.dll")));
  EXPECT_TRUE(FileExists(P("dir")));
  EXPECT_FALSE(FileExists(P("dir\\b.dll")));
  EXPECT_FALSE(FileExists(P("missing\\a.dll")));
}

TEST_F(FolderOpsTest, CopyFolderMirrorsTheTreeIncludingEmptyFolders) {
  Write("src\\a.txt", "alpha");
  Write("src\\sub\\b.txt", Pattern(9000));
  Write("src\\sub\\deeper\\c.txt", "");
  Folder("src\\empty");
  Folder("src\\sub\\also_empty");
  Write("dst\\sub\\b.txt", "stale");
  ASSERT_TRUE(fs::SetReadOnly(P("dst\\sub\\b.txt"), true));
  ASSERT_TRUE(CopyFolder(P("src"), P("dst")));
  EXPECT_EQ(Tree("dst"), Tree("src"));
  EXPECT_TRUE(Writable("dst\\sub\\b.txt"));
}

TEST_F(FolderOpsTest, CopyFolderOfMissingSourceMakesEmptyTarget) {
  ASSERT_TRUE(CopyFolder(P("missing"), P("dst")));
  EXPECT_TRUE(stdfs::is_directory(N("dst")));
  EXPECT_THAT(Tree("dst"), IsEmpty());
}

TEST_F(FolderOpsTest, CopyFolderStopsAtAFileThatCannotBeCopied) {
  Write("src\\sub\\blocked.txt", "x");
  Folder("dst\\sub\\blocked.txt\\in_the_way");  // a folder where the file must go
  RecordingSink sink;
  int count = 0;
  EXPECT_FALSE(CopyFolder(P("src"), P("dst")));
  EXPECT_FALSE(CopyFolderWithProgress(P("src"), P("dst"), 0, 100, &count, 1, sink));
  EXPECT_EQ(count, 1);
  EXPECT_THAT(sink.positions, IsEmpty());  // neither the file nor its folder succeeded
}

TEST_F(FolderOpsTest, CopyFolderWithProgressMovesAfterFilesAndHoldsAfterFolders) {
  Write("src\\a.txt", "a");
  Write("src\\b.txt", "b");
  Write("src\\sub\\c.txt", "c");
  Write("src\\sub\\deeper\\d.txt", "d");
  RecordingSink sink;
  int count = 0;
  ASSERT_TRUE(CopyFolderWithProgress(P("src"), P("dst"), 0, 100, &count, 4, sink));
  EXPECT_EQ(count, 4);
  EXPECT_EQ(Tree("dst"), Tree("src"));
  // One position per entry: four files and two folders; a folder repeats the last position.
  ASSERT_EQ(sink.positions.size(), 6u);
  std::vector<int> distinct;
  std::unique_copy(sink.positions.begin(), sink.positions.end(), std::back_inserter(distinct));
  EXPECT_THAT(distinct, ElementsAre(25, 50, 75, 100));
}

TEST_F(FolderOpsTest, CopyFolderWithProgressSharesTheRunningCount) {
  struct Case {
    int start, end, countBefore, total;
    bool withCount;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {0, 100, 0, 4, true, {25, 50}},
      {0, 100, 2, 4, true, {75, 100}},  // a second folder continues where the first ended
      {10, 20, 0, 0, true, {}},         // no total, no positions
      {100, 0, 0, 3, true, {67, 34}},   // truncated towards zero
      {0, 100, 0, 2, false, {50, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.start << ".." << c.end << " count " << c.countBefore << "/" << c.total);
    stdfs::remove_all(N("dst"));
    Write("src\\a.txt", "a");
    Write("src\\b.txt", "b");
    RecordingSink sink;
    int count = c.countBefore;
    ASSERT_TRUE(
        CopyFolderWithProgress(P("src"), P("dst"), c.start, c.end, c.withCount ? &count : nullptr, c.total, sink));
    EXPECT_THAT(sink.positions, ElementsAreArray(c.expected));
    if (c.withCount) {
      EXPECT_EQ(count, c.countBefore + 2);
    }
    EXPECT_EQ(Tree("dst"), Tree("src"));
  }
}

TEST_F(FolderOpsTest, DeleteFolderRemovesTreesWithReadOnlyFiles) {
  for (const char* suffix : {"", "\\"}) {
    for (bool removeFolder : {true, false}) {
      SCOPED_TRACE(::testing::Message() << "suffix '" << suffix << "' remove " << removeFolder);
      stdfs::remove_all(N("tree"));
      Write("tree\\a.txt", "a");
      Write("tree\\sub\\locked.dll", "l");
      Write("tree\\sub\\deeper\\c.txt", "c");
      Folder("tree\\empty");
      ASSERT_TRUE(fs::SetReadOnly(P("tree\\sub\\locked.dll"), true));
      ASSERT_TRUE(DeleteFolder(P("tree") + text::FromUtf8(suffix), removeFolder));
      EXPECT_EQ(stdfs::exists(N("tree")), !removeFolder);
      if (!removeFolder) {
        EXPECT_THAT(Tree("tree"), IsEmpty());
      }
    }
  }
}

TEST_F(FolderOpsTest, DeleteFolderOfNothing) {
  EXPECT_FALSE(DeleteFolder(P("missing"), true));
  EXPECT_TRUE(DeleteFolder(P("missing"), false));
  EXPECT_FALSE(DeleteFolder(P("missing\\"), true));
  // An empty path would name the root of the current drive on Windows.
  EXPECT_FALSE(DeleteFolder(u"", false));
  EXPECT_FALSE(DeleteFolder(u"", true));
}

TEST_F(FolderOpsTest, CreateParentFoldersBuildsTheWayToAFile) {
  Write("inst\\existing\\old.dll", "o");
  Write("inst\\plain.txt", "p");
  struct Case {
    std::string path;
    bool expected;
    std::string parent;  // must be a folder afterwards when expected
  };
  const Case cases[] = {
      {"inst\\lib\\x.dll", true, "inst\\lib"},
      {"inst\\a\\b\\c\\x.dll", true, "inst\\a\\b\\c"},
      {"inst\\existing\\new.dll", true, "inst\\existing"},
      {"inst\\top.dll", true, "inst"},
      {"inst\\plain.txt\\x.dll", false, ""},  // a file is in the way
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(CreateParentFolders(P(c.path)), c.expected);
    if (c.expected) {
      EXPECT_TRUE(stdfs::is_directory(N(c.parent)));
      EXPECT_FALSE(stdfs::exists(N(c.path)));
      // The folders are real: a backup can be copied into them.
      Write("payload", "backup");
      EXPECT_TRUE(CopyOneFile(P("payload"), P(c.path)));
    }
  }
  EXPECT_EQ(Read("inst\\plain.txt"), "p");
  EXPECT_EQ(Read("inst\\existing\\old.dll"), "o");
}

TEST_F(FolderOpsTest, RestoreBackupBringsReplacedFilesBackAndKeepsAddedOnes) {
  UpdaterSettings settings;
  settings.m_strModuleDir = P("inst\\");
  const std::string backup = "inst\\" + text::ToUtf8(settings.m_strTempFolderName);
  // What the update backed up before it failed: a.dll (replaced) and the plugins folder.
  Write(backup + "\\a.dll", "old a");
  Write(backup + "\\plugins\\p.txt", "old p");
  // What the failed update left: a new, read-only a.dll, an added b.dll, a changed plugin.
  Write("inst\\a.dll", "new a");
  ASSERT_TRUE(fs::SetReadOnly(P("inst\\a.dll"), true));
  Write("inst\\b.dll", "added b");
  Write("inst\\plugins\\p.txt", "new p");
  Write("inst\\plugins\\q.txt", "added q");

  RecordingSink sink;
  RestoreBackup(settings, sink);

  EXPECT_EQ(Read("inst\\a.dll"), "old a");
  EXPECT_EQ(Read("inst\\b.dll"), "added b");
  EXPECT_EQ(Read("inst\\plugins\\p.txt"), "old p");
  EXPECT_EQ(Read("inst\\plugins\\q.txt"), "added q");
  EXPECT_FALSE(stdfs::exists(N(backup)));
  std::vector<int> distinct;
  std::unique_copy(sink.positions.begin(), sink.positions.end(), std::back_inserter(distinct));
  EXPECT_EQ(sink.positions.size(), 3u);  // two files and the plugins folder
  EXPECT_THAT(distinct, ElementsAre(50, 100));
}

}  // namespace
}  // namespace norvex::update
