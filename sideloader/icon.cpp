// Icon extraction through minizip. The entry name comes from aapt's text, so it is matched
// against the archive without regard to case, as the packaging tools on Windows wrote it.
#include "icon.h"

#include <minizip/unzip.h>

#include <string>

#include "file_access.h"
#include "inspection.h"
#include "text.h"
#include "zip_open.h"

namespace norvex::sideloader {
namespace {

constexpr int kIgnoreCase = 2;  // minizip's value for a case-insensitive search
constexpr unsigned kChunk = 64 * 1024;

// The located entry's data; nothing when it cannot be read whole.
bool ReadCurrent(unzFile zip, std::string& data) {
  if (unzOpenCurrentFile(zip) != UNZ_OK) return false;
  std::string chunk(kChunk, '\0');
  bool ok = true;
  for (;;) {
    const int got = unzReadCurrentFile(zip, chunk.data(), kChunk);
    if (got == 0) break;
    if (got < 0) {
      ok = false;
      break;
    }
    data.append(chunk, 0, static_cast<std::size_t>(got));
  }
  // A CRC mismatch shows up only here.
  if (unzCloseCurrentFile(zip) != UNZ_OK) ok = false;
  return ok;
}

}  // namespace

std::u16string IconFilePath(const CPackageInfo& package) { return package.m_strTempFolder + u"nvApkInstall.png"; }

std::u16string IconEntryName(std::u16string_view badging) {
  std::size_t at = badging.find(u":'res/drawable-hdpi");
  if (at == std::u16string_view::npos) at = badging.find(u"application-icon-");
  if (at == std::u16string_view::npos) return {};
  return QuotedValueAfter(badging, at);
}

void ExtractIcon(std::u16string_view badging, CPackageInfo& package) {
  package.m_bHasIcon = false;
  const std::u16string entry = IconEntryName(badging);
  if (entry.empty()) return;  // no icon line, or one naming nothing: no archive entry can match
  unzFile zip = OpenZipArchive(package.m_strWorkCopy);
  if (zip == nullptr) return;
  if (unzLocateFile(zip, text::ToUtf8(entry).c_str(), kIgnoreCase) == UNZ_OK) {
    package.m_bHasIcon = true;
    std::string data;
    if (ReadCurrent(zip, data)) files::WriteWholeFile(IconFilePath(package), data);
  }
  unzClose(zip);
}

}  // namespace norvex::sideloader
