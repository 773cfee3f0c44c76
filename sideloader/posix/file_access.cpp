// The package side's file calls on POSIX, for the native build and tests: "\" in a path becomes
// "/", and files are opened without any sharing check (POSIX has no share modes).
#include "file_access.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "text.h"

namespace norvex::sideloader::files {
namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  bool Close() {
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return closed;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t count) {
  while (count > 0) {
    const ssize_t wrote = ::write(fd, data, count);
    if (wrote <= 0) return false;
    data += wrote;
    count -= static_cast<std::size_t>(wrote);
  }
  return true;
}

}  // namespace

std::string NativePath(const std::u16string& path) { return text::ToPosixPath(path); }

bool IsFolder(const std::u16string& path) {
  struct stat st;
  return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void CreateFolder(const std::u16string& path) { ::mkdir(NativePath(path).c_str(), 0777); }

std::optional<std::uint64_t> OpenedLength(const std::u16string& path) {
  Fd fd(::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st;
  if (!fd.ok() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

bool CopyInChunks(const std::u16string& from, const std::u16string& to, std::size_t chunkBytes) {
  Fd source(::open(NativePath(from).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st;
  if (!source.ok() || ::fstat(source.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const std::string target = NativePath(to);
  if (::unlink(target.c_str()) != 0 && errno != ENOENT) return false;
  Fd out(::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!out.ok()) return false;
  std::vector<char> chunk(chunkBytes);
  off_t position = 0;
  while (position < st.st_size) {
    const ssize_t got = ::read(source.get(), chunk.data(), chunk.size());
    if (got <= 0 || !WriteAll(out.get(), chunk.data(), static_cast<std::size_t>(got))) return false;
    position += got;
  }
  return out.Close();
}

bool WriteWholeFile(const std::u16string& path, const std::string& bytes) {
  Fd out(::open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  return out.ok() && WriteAll(out.get(), bytes.data(), bytes.size()) && out.Close();
}

}  // namespace norvex::sideloader::files
