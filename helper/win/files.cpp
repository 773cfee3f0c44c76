// The arrival check's file operations on Windows: a directory search for presence (so a
// folder counts as much as a file), and one read of the whole file that tolerates a writer
// holding it open.
#include "files.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "win/handles.h"

namespace norvex::helper::files {

bool EntryExists(const std::u16string& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW(norvex::win::W(path), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  ::FindClose(search);
  return true;
}

std::optional<std::string> ReadWhole(const std::u16string& path) {
  norvex::win::unique_file_handle file(::CreateFileW(norvex::win::W(path), GENERIC_READ,
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
  // A file too large to hold counts as unreadable rather than ending the helper.
  if (static_cast<unsigned long long>(size.QuadPart) >= std::numeric_limits<std::size_t>::max()) return std::nullopt;
  std::string bytes;
  try {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
  } catch (const std::exception&) {  // bad_alloc or length_error
    return std::nullopt;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    if (!::ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) return std::nullopt;
    if (got == 0) break;  // the file shrank while we read it: what we have is the file
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

}  // namespace norvex::helper::files
