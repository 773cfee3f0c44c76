// minizip over stdio, with the path spelled the POSIX way.
#include "zip_open.h"

#include "text.h"

namespace norvex {

unzFile OpenZipArchive(const std::u16string& path) {
  zlib_filefunc64_def io;
  fill_fopen64_filefunc(&io);
  return unzOpen2_64(text::ToPosixPath(path).c_str(), &io);
}

}  // namespace norvex
