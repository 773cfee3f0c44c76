// Opening a zip archive with minizip by a UTF-16 path. On Windows only the wide-character file
// functions keep a path with Chinese characters intact; elsewhere the path's "\" become "/".
#pragma once

#include <minizip/unzip.h>

#include <string>

namespace norvex {

// An open archive, or null when it cannot be opened.
unzFile OpenZipArchive(const std::u16string& path);

}  // namespace norvex
