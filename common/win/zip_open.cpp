// minizip over the wide-character Windows file functions.
#include "zip_open.h"

#include "win/windows_api.h"
// After windows.h, which it needs.
#include <minizip/iowin32.h>

namespace norvex {

unzFile OpenZipArchive(const std::u16string& path) {
  zlib_filefunc64_def io;
  fill_win32_filefunc64W(&io);
  return unzOpen2_64(win::W(path), &io);
}

}  // namespace norvex
