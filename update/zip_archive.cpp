// The updater's zip front end over minizip: items are visited by index, named in UTF-16 and
// written through the updater's own file system, so that every file the update touches goes
// through the same calls. Item names come from the archive and are not trusted: they are
// cleaned, and a name that still leaves the installation folder is reported so it can be skipped.
#include "zip_archive.h"

#include <minizip/unzip.h>

#include <climits>
#include <cstring>
#include <string_view>
#include <vector>

#include "file_system.h"
#include "text.h"
#include "zip_open.h"


namespace norvex::update {
namespace {

constexpr std::size_t kMaxItemName = 259;
constexpr unsigned kChunk = 64 * 1024;

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

unzFile AsZip(void* handle) { return static_cast<unzFile>(handle); }

// The current item's stored name and sizes. A stored NUL ends the name, as it would for every
// path call made with it.
bool CurrentItem(unzFile zip, std::string& name, unz_file_info64& info) {
  if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
  std::vector<char> buffer(info.size_filename + 1, '\0');
  if (unzGetCurrentFileInfo64(zip, &info, buffer.data(), static_cast<uLong>(buffer.size()), nullptr, 0, nullptr, 0) !=
      UNZ_OK) {
    return false;
  }
  name.assign(buffer.data(), strnlen(buffer.data(), info.size_filename));
  return true;
}

// A folder item is one whose name ends in a separator; zip tools write "/", some Windows tools
// "\". Attribute bits are not looked at: they depend on the system that made the archive.
bool NamesFolder(const std::u16string& name) { return !name.empty() && IsSeparator(name.back()); }


// Creates every missing folder along `path`, the last one included. Levels that cannot be made
// (a drive, a share) are passed over; what counts is whether the folder exists at the end.
bool MakeFolders(std::u16string path) {
  while (!path.empty() && IsSeparator(path.back())) path.pop_back();
  if (path.empty()) return false;
  if (fs::IsFolder(path)) return true;  // the common case: earlier items made it already
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && !IsSeparator(path[i])) continue;
    const std::u16string level = path.substr(0, i);
    if (IsSeparator(level.back()) || level.back() == u':') continue;
    if (!fs::Exists(level)) fs::CreateFolder(level);
  }
  return fs::IsFolder(path);
}

// A name beside `target` that is not taken yet.
std::u16string FreeSibling(const std::u16string& target) {
  for (int n = 0;; ++n) {
    std::u16string candidate = target + u"~" + text::FromUtf8(std::to_string(n));
    if (!fs::Exists(candidate)) return candidate;
  }
}

// Writes the current item to `target`. The data goes to a file beside it first and replaces
// the old file only once the whole item has been read, has its stored length and passes its CRC
// check: a damaged item or a full disk leaves the old file as it was.
bool WriteItem(unzFile zip, const unz_file_info64& info, const std::u16string& target) {
  const std::u16string partial = FreeSibling(target);
  fs::File out = fs::File::CreateWrite(partial);
  if (!out.is_open()) return false;
  bool ok = unzOpenCurrentFile(zip) == UNZ_OK;
  if (ok) {
    std::vector<char> chunk(kChunk);
    std::uint64_t written = 0;
    for (;;) {
      const int got = unzReadCurrentFile(zip, chunk.data(), kChunk);
      if (got == 0) break;
      if (got < 0 || !out.Write(chunk.data(), static_cast<std::size_t>(got))) {
        ok = false;
        break;
      }
      written += static_cast<unsigned>(got);
    }
    if (unzCloseCurrentFile(zip) != UNZ_OK || written != info.uncompressed_size) ok = false;
  }
  out.Close();
  // DeleteOneFile refuses a read-only file or a folder in the way: the item is not written.
  if (ok && fs::Exists(target)) ok = fs::DeleteOneFile(target);
  if (ok) ok = fs::MoveOneFile(partial, target);
  if (!ok) fs::DeleteOneFile(partial);
  return ok;
}

std::size_t FindClimb(std::u16string_view name) {
  for (std::size_t i = 0; i + 4 <= name.size(); ++i) {
    if (IsSeparator(name[i]) && name[i + 1] == u'.' && name[i + 2] == u'.' && IsSeparator(name[i + 3])) return i;
  }
  return std::u16string_view::npos;
}

}  // namespace

ZipArchive::~ZipArchive() { Close(); }

bool ZipArchive::Open(const std::u16string& path) {
  Close();
  handle_ = OpenZipArchive(path);
  return handle_ != nullptr;
}

void ZipArchive::Close() {
  if (handle_ != nullptr) unzClose(AsZip(handle_));
  handle_ = nullptr;
  current_ = -1;
}

std::optional<int> ZipArchive::ItemCount() {
  unz_global_info64 info;
  if (handle_ == nullptr || unzGetGlobalInfo64(AsZip(handle_), &info) != UNZ_OK) return std::nullopt;
  if (info.number_entry > static_cast<ZPOS64_T>(INT_MAX)) return std::nullopt;
  return static_cast<int>(info.number_entry);
}

bool ZipArchive::GoTo(int index) {
  if (handle_ == nullptr || index < 0) return false;
  unzFile zip = AsZip(handle_);
  // minizip walks the central directory forwards only; the update visits items in order, so
  // each step is one move.
  if (current_ < 0 || index < current_) {
    if (unzGoToFirstFile(zip) != UNZ_OK) return false;
    current_ = 0;
  }
  while (current_ < index) {
    if (unzGoToNextFile(zip) != UNZ_OK) {
      current_ = -1;
      return false;
    }
    ++current_;
  }
  return true;
}

std::optional<ZipArchive::Item> ZipArchive::ItemAt(int index) {
  std::string name;
  unz_file_info64 info;
  if (!GoTo(index) || !CurrentItem(AsZip(handle_), name, info)) return std::nullopt;
  Item item{text::FromUtf8(name), false};
  item.isFolder = NamesFolder(item.name);
  return item;
}

bool ZipArchive::Extract(int index, const std::u16string& target) {
  std::string name;
  unz_file_info64 info;
  if (!GoTo(index) || !CurrentItem(AsZip(handle_), name, info)) return false;
  if (NamesFolder(text::FromUtf8(name))) return MakeFolders(target);
  const std::size_t lastSeparator = target.find_last_of(u"\\/");
  if (lastSeparator != std::u16string::npos && lastSeparator > 0) MakeFolders(target.substr(0, lastSeparator));
  return WriteItem(AsZip(handle_), info, target);
}

std::u16string CleanItemName(const std::u16string& name) {
  const std::u16string_view all(name);
  std::size_t start = 0;
  for (;;) {
    const std::u16string_view rest = all.substr(start);
    if (rest.size() >= 2 && rest[1] == u':') {
      start += 2;  // a drive prefix
    } else if (!rest.empty() && IsSeparator(rest[0])) {
      start += 1;
    } else if (const std::size_t climb = FindClimb(rest); climb != std::u16string_view::npos) {
      start += climb + 4;
    } else {
      break;
    }
  }
  // Too long a name is refused rather than cut: a cut name would be some other file.
  if (name.size() - start > kMaxItemName) return std::u16string();
  return name.substr(start);
}

bool EscapesFolder(const std::u16string& cleanedName) {
  if (cleanedName.empty()) return true;
  if (IsSeparator(cleanedName[0]) || (cleanedName.size() >= 2 && cleanedName[1] == u':')) return true;
  int depth = 0;
  std::size_t begin = 0;
  while (begin <= cleanedName.size()) {
    std::size_t end = begin;
    while (end < cleanedName.size() && !IsSeparator(cleanedName[end])) ++end;
    const std::u16string_view segment = std::u16string_view(cleanedName).substr(begin, end - begin);
    begin = end + 1;
    if (segment.empty() || segment == u".") continue;
    if (segment == u"..") {
      if (--depth < 0) return true;
      continue;
    }
    // Windows drops trailing dots and spaces from names, so "..." or ".. " may act as "..".
    if (segment.find_first_not_of(u". ") == std::u16string_view::npos) return true;
    ++depth;
  }
  return false;
}

}  // namespace norvex::update
