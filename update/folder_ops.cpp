// The updater's file and folder operations: counting, copying (with and without progress),
// deleting folder trees and copying the backup back over the installation. Everything goes
// through the fs layer so the same code runs on Windows and in the native tests; failures are
// reported as false and never shown.
#include "folder_ops.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "file_system.h"

namespace norvex::update {
namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// `onBlock` receives the source position after each block has been written, with the length.
// A source that ends early or runs past its length (a file changed behind our back, or a
// device file whose size is not its content) fails the copy instead of spinning forever.
bool CopyFileImpl(const std::u16string& source, const std::u16string& target, bool mustDeleteTarget,
                  const std::function<void(std::int64_t, std::int64_t)>& onBlock) {
  fs::File in = fs::File::OpenRead(source);
  if (!in.is_open()) return false;

  if (FileExists(target)) {
    fs::SetReadOnly(target, false);
    const bool deleted = fs::DeleteOneFile(target);
    if (mustDeleteTarget && !deleted) return false;
  }

  fs::File out = fs::File::CreateWrite(target);
  if (!out.is_open()) return false;

  const std::int64_t length = in.Length();
  if (length < 0) return false;
  std::array<char, kCopyBlockSize> buffer;
  for (;;) {
    buffer.fill(0);
    const std::int64_t read = in.Read(buffer.data(), buffer.size());
    if (read < 0) return false;
    const std::int64_t position = in.Position();
    if (position < 0 || position > length || (read == 0 && position != length)) return false;
    if (!out.Write(buffer.data(), static_cast<std::size_t>(read))) return false;
    if (onBlock && length > 0) onBlock(position, length);
    if (position == length) break;
  }
  in.Close();
  out.Close();
  return true;
}

bool CopyFolderImpl(const std::u16string& source, const std::u16string& target, const std::function<void()>& beforeFile,
                    const std::function<void()>& afterEntry) {
  fs::CreateFolder(target);
  bool ok = true;
  fs::ForEachEntry(source, [&](const fs::FoundEntry& entry) {
    const std::u16string newPath = target + entry.fullPath.substr(source.size());
    if (entry.isFolder) {
      ok = CopyFolderImpl(entry.fullPath, newPath, beforeFile, afterEntry);
    } else {
      if (beforeFile) beforeFile();
      ok = CopyOneFile(entry.fullPath, newPath);
    }
    if (ok && afterEntry) afterEntry();
    return ok;
  });
  return ok;
}

}  // namespace

bool FileExists(const std::u16string& path) { return fs::Exists(path); }

bool ReadWholeFile(const std::u16string& path, std::vector<std::uint8_t>& bytes) {
  fs::File file = fs::File::OpenRead(path);
  if (!file.is_open()) return false;
  const std::int64_t length = file.Length();
  if (length < 0) return false;
  bytes.resize(static_cast<std::size_t>(length));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::int64_t got = file.Read(bytes.data() + done, bytes.size() - done);
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

int CountFiles(const std::u16string& folder) {
  int count = 0;
  fs::ForEachEntry(folder, [&](const fs::FoundEntry& entry) {
    count += entry.isFolder ? CountFiles(entry.fullPath) : 1;
    return true;
  });
  return count;
}

bool CopyOneFile(const std::u16string& source, const std::u16string& target) {
  return CopyFileImpl(source, target, false, nullptr);
}

bool CopyFileWithProgress(const std::u16string& source, const std::u16string& target, int start, int end,
                          ProgressSink& progress) {
  // Wide arithmetic: (end - start) * position overflows 32 bits for files of a few dozen MiB.
  return CopyFileImpl(source, target, true, [&](std::int64_t position, std::int64_t length) {
    progress.SetPosition(static_cast<int>(start + std::int64_t{end - start} * position / length));
  });
}

bool CopyFolder(const std::u16string& source, const std::u16string& target) {
  return CopyFolderImpl(source, target, nullptr, nullptr);
}

bool CopyFolderWithProgress(const std::u16string& source, const std::u16string& target, int start, int end, int* count,
                            int total, ProgressSink& progress) {
  int ownCount = 0;
  int& copied = count != nullptr ? *count : ownCount;
  return CopyFolderImpl(
      source, target, [&] { ++copied; },
      [&] {
        if (total == 0) return;
        progress.SetPosition(static_cast<int>(start + std::int64_t{end - start} * copied / total));
      });
}

bool DeleteFolder(const std::u16string& path, bool removeFolder) {
  // An empty path would search "\*.*", the root of the current drive.
  if (path.empty()) return false;
  const bool trailing = path.back() == u'\\';
  const std::u16string folder = trailing ? path.substr(0, path.size() - 1) : path;
  bool ok = true;
  fs::ForEachEntry(folder, [&](const fs::FoundEntry& entry) {
    const std::u16string child = trailing ? path + entry.name : path + u"\\" + entry.name;
    if (entry.isFolder) {
      ok = DeleteFolder(child, true);
    } else {
      if (fs::IsReadOnly(child)) fs::SetReadOnly(child, false);
      ok = fs::DeleteOneFile(child);
    }
    return ok;
  });
  if (!ok) return false;
  if (removeFolder && !fs::RemoveFolder(path)) return false;
  return true;
}

void RestoreBackup(const UpdaterSettings& settings, ProgressSink& progress) {
  const std::u16string backup = settings.BackupFolder();
  std::u16string installation = settings.m_strModuleDir;
  if (!installation.empty() && installation.back() == u'\\') installation.pop_back();
  const int total = CountFiles(backup);
  int count = 0;
  CopyFolderWithProgress(backup, installation, 0, 100, &count, total, progress);
  DeleteFolder(backup, true);
}

bool CreateParentFolders(const std::u16string& path) {
  std::size_t last = path.size();
  while (last > 0 && !IsSeparator(path[last - 1])) --last;
  if (last == 0) return true;  // a bare name lives in the current folder
  const std::u16string parent = path.substr(0, last - 1);
  if (parent.empty()) return true;  // a path right below the root
  for (std::size_t i = 1; i <= parent.size(); ++i) {
    if (i == parent.size() || IsSeparator(parent[i])) {
      const std::u16string prefix = parent.substr(0, i);
      if (!fs::IsFolder(prefix)) fs::CreateFolder(prefix);
    }
  }
  return fs::IsFolder(parent);
}

}  // namespace norvex::update
