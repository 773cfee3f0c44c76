// The arrival check's file operations on POSIX, for the native build and its tests: "\" in a
// path becomes "/".
#include "files.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "text.h"

namespace norvex::helper::files {
namespace {

std::string Native(const std::u16string& path) {
  std::string native = text::ToUtf8(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

}  // namespace

bool EntryExists(const std::u16string& path) {
  struct stat st;
  return ::lstat(Native(path).c_str(), &st) == 0;
}

std::optional<std::string> ReadWhole(const std::u16string& path) {
  const std::string native = Native(path);
  struct stat st;
  if (::stat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  std::ifstream in(native, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace norvex::helper::files
