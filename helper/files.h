// The two file operations the arrival check needs, on Windows-style paths on every platform:
// whether a directory entry exists, and a whole file's bytes. Windows and POSIX differ only in
// these calls, so they sit in a win/ and posix/ pair and the rest is tested on real files.
#pragma once

#include <optional>
#include <string>

namespace norvex::helper::files {

// True when a search for the path finds anything, a file or a folder.
bool EntryExists(const std::u16string& path);

// All bytes of the file; nothing when it cannot be opened or read (a folder included).
std::optional<std::string> ReadWhole(const std::u16string& path);

}  // namespace norvex::helper::files
