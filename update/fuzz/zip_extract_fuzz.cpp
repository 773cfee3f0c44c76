// Fuzz target for unpacking: the input is written out as an archive and unpacked into a fresh
// folder the way the update does it (clean each name, skip what leaves the folder, extract the
// rest). Nothing may crash or leak, and nothing may appear beside the installation folder.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "text.h"
#include "zip_archive.h"

using namespace norvex::update;
namespace stdfs = std::filesystem;

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// The archive and the installation folder sit three levels below the top, so an item that
// climbs out by up to three levels still lands somewhere the check looks.
stdfs::path gTop;
stdfs::path gSandbox;  // holds only "archive.zip" and "inst"

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* work = std::getenv("FUZZ_WORK_DIR");
  gTop = stdfs::absolute(stdfs::path(work ? work : "/tmp") / ("zip-extract-" + std::to_string(::getpid())));
  gSandbox = gTop / "a" / "b" / "c";
  stdfs::remove_all(gTop);
  stdfs::create_directories(gSandbox / "inst");
  std::atexit([] {
    std::error_code ignored;
    stdfs::remove_all(gTop, ignored);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const stdfs::path archive = gSandbox / "archive.zip";
  std::ofstream(archive, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  const std::u16string folder = norvex::text::FromUtf8((gSandbox / "inst").string()) + u"\\";
  ZipArchive zip;
  if (zip.Open(norvex::text::FromUtf8(archive.string()))) {
    const auto count = zip.ItemCount();
    for (int j = 0; count && j < *count && j < 16; ++j) {
      const auto item = zip.ItemAt(j);
      if (!item) break;
      const std::u16string name = CleanItemName(item->name);
      if (!EscapesFolder(name)) zip.Extract(j, folder + name);
    }
    zip.Close();
  }
  for (auto it = stdfs::recursive_directory_iterator(gTop); it != stdfs::recursive_directory_iterator(); ++it) {
    const std::string name = it->path().lexically_relative(gTop).generic_string();
    if (name == "a/b/c/inst") it.disable_recursion_pending();
    Require(name == "a" || name == "a/b" || name == "a/b/c" || name == "a/b/c/inst" || name == "a/b/c/archive.zip");
  }
  if (!stdfs::is_empty(gSandbox / "inst")) {
    stdfs::remove_all(gSandbox / "inst");
    stdfs::create_directory(gSandbox / "inst");
  }
  return 0;
}
