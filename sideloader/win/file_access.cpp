// The package side's file calls on Windows, through the W functions so that Chinese paths
// survive. The handed-over package is opened without sharing, as the check requires.
#include "file_access.h"

#include <vector>

#include "win/handles.h"
#include "win/windows_api.h"

namespace norvex::sideloader::files {
namespace {

using norvex::win::unique_file_handle;
using norvex::win::W;

unique_file_handle OpenExclusive(const std::u16string& path) {
  return unique_file_handle(
      ::CreateFileW(W(path), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

unique_file_handle CreateNew(const std::u16string& path) {
  return unique_file_handle(
      ::CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool WriteAll(HANDLE file, const char* data, std::size_t count) {
  while (count > 0) {
    DWORD wrote = 0;
    if (!::WriteFile(file, data, static_cast<DWORD>(count), &wrote, nullptr) || wrote == 0) return false;
    data += wrote;
    count -= wrote;
  }
  return true;
}

}  // namespace

bool IsFolder(const std::u16string& path) {
  const DWORD attributes = ::GetFileAttributesW(W(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void CreateFolder(const std::u16string& path) { ::CreateDirectoryW(W(path), nullptr); }

std::optional<std::uint64_t> OpenedLength(const std::u16string& path) {
  unique_file_handle file = OpenExclusive(path);
  LARGE_INTEGER size;
  if (!file || !::GetFileSizeEx(file.get(), &size)) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

bool CopyInChunks(const std::u16string& from, const std::u16string& to, std::size_t chunkBytes) {
  unique_file_handle source = OpenExclusive(from);
  LARGE_INTEGER length;
  if (!source || !::GetFileSizeEx(source.get(), &length)) return false;
  if (!::DeleteFileW(W(to)) && ::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
  unique_file_handle target = CreateNew(to);
  if (!target) return false;
  std::vector<char> chunk(chunkBytes);
  LONGLONG position = 0;
  while (position < length.QuadPart) {
    DWORD got = 0;
    if (!::ReadFile(source.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) || got == 0) {
      return false;
    }
    if (!WriteAll(target.get(), chunk.data(), got)) return false;
    position += got;
  }
  return true;
}

bool WriteWholeFile(const std::u16string& path, const std::string& bytes) {
  unique_file_handle file = CreateNew(path);
  return file && WriteAll(file.get(), bytes.data(), bytes.size());
}

}  // namespace norvex::sideloader::files
