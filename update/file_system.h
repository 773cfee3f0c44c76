// The file-system calls the updater needs, on Windows-style paths ("\" separators) on every
// platform: Windows passes them to the W functions, POSIX turns "\" into "/". Everything that
// differs between the two (directory search, attributes, sharing) lives behind this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace norvex::update::fs {

// True when a search for the path finds a file or a folder (FindFirstFileW semantics).
bool Exists(const std::u16string& path);

struct FoundEntry {
  std::u16string name;      // the entry's own name
  std::u16string fullPath;  // folder + "\" + name, as the search reports it
  bool isFolder;
};
// Searches folder + "\*.*" and visits every entry but "." and ".." in the file system's own
// order, until `visit` returns false. Returns false when the search finds nothing at all
// (the folder does not exist or cannot be read).
bool ForEachEntry(const std::u16string& folder, const std::function<bool(const FoundEntry&)>& visit);

// True when the path names an existing folder (one attribute lookup, no search).
bool IsFolder(const std::u16string& path);

bool CreateFolder(const std::u16string& path);  // one level, like CreateDirectoryW
bool RemoveFolder(const std::u16string& path);  // empty folders only, like RemoveDirectoryW
bool DeleteOneFile(const std::u16string& path);
bool MoveOneFile(const std::u16string& from, const std::u16string& to);
bool IsReadOnly(const std::u16string& path);
bool SetReadOnly(const std::u16string& path, bool readOnly);

// A file opened without sharing: while it is open no other open of it succeeds on Windows.
class File {
 public:
  static File OpenRead(const std::u16string& path);
  static File CreateWrite(const std::u16string& path);  // creates or truncates
  File() = default;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  bool is_open() const;
  std::int64_t Length();   // -1 on error
  std::int64_t Position();  // -1 on error
  // Bytes read, 0 at the end of the file, -1 on error.
  std::int64_t Read(void* buffer, std::size_t count);
  bool Write(const void* buffer, std::size_t count);
  void Close();

 private:
  std::intptr_t handle_ = -1;
};

}  // namespace norvex::update::fs
