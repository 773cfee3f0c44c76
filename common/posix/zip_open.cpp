// minizip over stdio, with the path spelled the POSIX way.
#include "zip_open.h"

#include "text.h"

namespace norvex {

unzFile OpenZipArchive(const std::u16string& path) {
  std::string native = text::ToUtf8(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  zlib_filefunc64_def io;
  fill_fopen64_filefunc(&io);
  return unzOpen2_64(native.c_str(), &io);
}

}  // namespace norvex
