// The updater's file system on Windows: the W functions, files opened without sharing.
#include "file_system.h"

#include <utility>

#include "win/handles.h"
#include "win/windows_api.h"

namespace norvex::update::fs {
namespace {

using win::W;

HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }
constexpr std::intptr_t kNoFile = -1;  // INVALID_HANDLE_VALUE

}  // namespace

bool Exists(const std::u16string& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW(W(path), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  ::FindClose(search);
  return true;
}

bool ForEachEntry(const std::u16string& folder, const std::function<bool(const FoundEntry&)>& visit) {
  WIN32_FIND_DATAW found;
  const std::u16string pattern = folder + u"\\*.*";
  HANDLE search = ::FindFirstFileW(W(pattern), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    const std::u16string name = win::ToU16(found.cFileName);
    if (name == u"." || name == u"..") continue;
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!visit(FoundEntry{name, folder + u"\\" + name, isFolder})) break;
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return true;
}

bool IsFolder(const std::u16string& path) {
  const DWORD attributes = ::GetFileAttributesW(W(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateFolder(const std::u16string& path) { return ::CreateDirectoryW(W(path), nullptr) != 0; }
bool RemoveFolder(const std::u16string& path) { return ::RemoveDirectoryW(W(path)) != 0; }
bool DeleteOneFile(const std::u16string& path) { return ::DeleteFileW(W(path)) != 0; }
bool MoveOneFile(const std::u16string& from, const std::u16string& to) { return ::MoveFileW(W(from), W(to)) != 0; }

bool IsReadOnly(const std::u16string& path) {
  const DWORD attributes = ::GetFileAttributesW(W(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool SetReadOnly(const std::u16string& path, bool readOnly) {
  const DWORD attributes = ::GetFileAttributesW(W(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  const DWORD wanted = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
  return ::SetFileAttributesW(W(path), wanted) != 0;
}

File File::OpenRead(const std::u16string& path) {
  File file;
  HANDLE h = ::CreateFileW(W(path), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  file.handle_ = reinterpret_cast<std::intptr_t>(h);
  return file;
}

File File::CreateWrite(const std::u16string& path) {
  File file;
  HANDLE h = ::CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  file.handle_ = reinterpret_cast<std::intptr_t>(h);
  return file;
}

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, kNoFile)) {}
File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kNoFile);
  }
  return *this;
}
File::~File() { Close(); }

bool File::is_open() const { return handle_ != kNoFile && handle_ != 0; }

std::int64_t File::Length() {
  LARGE_INTEGER size;
  if (!is_open() || !::GetFileSizeEx(AsHandle(handle_), &size)) return -1;
  return size.QuadPart;
}

std::int64_t File::Position() {
  LARGE_INTEGER zero{}, position;
  if (!is_open() || !::SetFilePointerEx(AsHandle(handle_), zero, &position, FILE_CURRENT)) return -1;
  return position.QuadPart;
}

std::int64_t File::Read(void* buffer, std::size_t count) {
  DWORD read = 0;
  if (!is_open() || !::ReadFile(AsHandle(handle_), buffer, static_cast<DWORD>(count), &read, nullptr)) return -1;
  return read;
}

bool File::Write(const void* buffer, std::size_t count) {
  DWORD written = 0;
  return is_open() && ::WriteFile(AsHandle(handle_), buffer, static_cast<DWORD>(count), &written, nullptr) &&
         written == count;
}

void File::Close() {
  if (is_open()) ::CloseHandle(AsHandle(std::exchange(handle_, kNoFile)));
  handle_ = kNoFile;
}

}  // namespace norvex::update::fs
