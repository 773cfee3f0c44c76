// The arrival check's file operations on POSIX, for the native build and its tests.
#include "files.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "text.h"

namespace norvex::helper::files {

bool EntryExists(const std::u16string& path) {
  struct stat st;
  return ::lstat(text::ToPosixPath(path).c_str(), &st) == 0;
}

std::optional<std::string> ReadWhole(const std::u16string& path) {
  const std::string native = text::ToPosixPath(path);
  struct stat st;
  if (::stat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  std::ifstream in(native, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace norvex::helper::files
