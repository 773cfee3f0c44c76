// The updater's file system on POSIX, for the native build and tests: "\" in a path becomes
// "/", read-only means no write permission bits, and files are opened without any sharing
// check (POSIX has no share modes; the Windows build is tested for those under Wine).
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

#include "file_system.h"
#include "text.h"

namespace norvex::update::fs {
namespace {

std::string Native(const std::u16string& path) { return text::ToPosixPath(path); }

}  // namespace

bool Exists(const std::u16string& path) {
  struct stat st;
  return ::lstat(Native(path).c_str(), &st) == 0;
}

bool ForEachEntry(const std::u16string& folder, const std::function<bool(const FoundEntry&)>& visit) {
  DIR* dir = ::opendir(Native(folder).c_str());
  if (dir == nullptr) return false;
  const std::string base = Native(folder);
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    const bool isFolder = ::lstat((base + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    const std::u16string wideName = text::FromUtf8(name);
    if (!visit(FoundEntry{wideName, folder + u"\\" + wideName, isFolder})) break;
  }
  ::closedir(dir);
  return true;
}

bool IsFolder(const std::u16string& path) {
  struct stat st;
  return ::stat(Native(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateFolder(const std::u16string& path) { return ::mkdir(Native(path).c_str(), 0777) == 0; }
bool RemoveFolder(const std::u16string& path) { return ::rmdir(Native(path).c_str()) == 0; }
bool DeleteOneFile(const std::u16string& path) {
  struct stat st;
  const std::string native = Native(path);
  // DeleteFileW refuses folders and read-only files; so does this stand-in.
  if (::lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode) || (st.st_mode & 0222) == 0) return false;
  return ::unlink(native.c_str()) == 0;
}
bool MoveOneFile(const std::u16string& from, const std::u16string& to) {
  // MoveFileW does not replace an existing target.
  if (Exists(to)) return false;
  return ::rename(Native(from).c_str(), Native(to).c_str()) == 0;
}
bool IsReadOnly(const std::u16string& path) {
  struct stat st;
  return ::stat(Native(path).c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}
bool SetReadOnly(const std::u16string& path, bool readOnly) {
  struct stat st;
  const std::string native = Native(path);
  if (::stat(native.c_str(), &st) != 0) return false;
  const mode_t mode = readOnly ? (st.st_mode & ~mode_t{0222}) : (st.st_mode | 0200);
  return ::chmod(native.c_str(), mode & 07777) == 0;
}

File File::OpenRead(const std::u16string& path) {
  File file;
  const int fd = ::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return file;
  }
  file.handle_ = fd;
  return file;
}

File File::CreateWrite(const std::u16string& path) {
  File file;
  const std::string native = Native(path);
  // Root ignores permission bits; honour the read-only attribute the way Windows does.
  if (IsReadOnly(path)) return file;
  file.handle_ = ::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return file;
}

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}
File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, -1);
  }
  return *this;
}
File::~File() { Close(); }

bool File::is_open() const { return handle_ >= 0; }

std::int64_t File::Length() {
  struct stat st;
  if (!is_open() || ::fstat(static_cast<int>(handle_), &st) != 0) return -1;
  return st.st_size;
}

std::int64_t File::Position() {
  if (!is_open()) return -1;
  return ::lseek(static_cast<int>(handle_), 0, SEEK_CUR);
}

std::int64_t File::Read(void* buffer, std::size_t count) {
  if (!is_open()) return -1;
  return ::read(static_cast<int>(handle_), buffer, count);
}

bool File::Write(const void* buffer, std::size_t count) {
  const char* bytes = static_cast<const char*>(buffer);
  while (count > 0) {
    if (!is_open()) return false;
    const ssize_t written = ::write(static_cast<int>(handle_), bytes, count);
    if (written <= 0) return false;
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

void File::Close() {
  if (handle_ >= 0) ::close(static_cast<int>(std::exchange(handle_, -1)));
}

}  // namespace norvex::update::fs
