// Searching, counting, copying and deleting files and folder trees for the backup, the update
// and the restore. Every operation reports success as a boolean and shows nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings.h"
#include "update_view.h"

namespace norvex::update {

inline constexpr std::size_t kCopyBlockSize = 4096;

// Copies go through one buffer of kCopyBlockSize bytes. A source that yields fewer or more bytes
// than its recorded length fails the copy. The file copy with progress moves the bar after every
// block, the folder copy after every entry of the tree; `count` is the running count of copied
// files shared by the whole tree (null counts from 0).
bool FileExists(const std::u16string& path);
// The whole file; false when it cannot be opened or ends before its recorded length.
bool ReadWholeFile(const std::u16string& path, std::vector<std::uint8_t>& bytes);
int CountFiles(const std::u16string& folder);
bool CopyOneFile(const std::u16string& source, const std::u16string& target);
bool CopyFileWithProgress(const std::u16string& source, const std::u16string& target, int start, int end,
                          ProgressSink& progress);
bool CopyFolder(const std::u16string& source, const std::u16string& target);
bool CopyFolderWithProgress(const std::u16string& source, const std::u16string& target, int start, int end, int* count,
                            int total, ProgressSink& progress);
// Removes everything below `path` (and the folder itself when asked); an empty path is refused.
bool DeleteFolder(const std::u16string& path, bool removeFolder);

// Copies the backup folder back over the installation (positions 0 to 100), then removes it.
void RestoreBackup(const UpdaterSettings& settings, ProgressSink& progress);

// Creates every missing folder on the way to `path`'s parent (for backups of files in
// sub-folders). True when the parent exists afterwards.
bool CreateParentFolders(const std::u16string& path);

}  // namespace norvex::update
