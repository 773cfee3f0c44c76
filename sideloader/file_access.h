// The few file calls the package side needs, on "\"-separated paths on every platform:
// Windows hands them to the W functions, POSIX turns "\" into "/". Everything that differs
// between the two (sharing modes, attributes) lives behind this header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace norvex::sideloader::files {

bool IsFolder(const std::u16string& path);
void CreateFolder(const std::u16string& path);  // one level; an existing folder or an error is ignored

// Opens the file for reading without sharing it and gives its length; nothing when it cannot
// be opened (missing, locked by another program, a folder).
std::optional<std::uint64_t> OpenedLength(const std::u16string& path);

// Copies `from` over `to` in chunks of `chunkBytes`: the source is opened first (an old
// target stays when it cannot be), then the target is deleted, created and filled until the
// read position reaches the source's length. False on any file error.
bool CopyInChunks(const std::u16string& from, const std::u16string& to, std::size_t chunkBytes);

// Creates or replaces `path` with `bytes`.
bool WriteWholeFile(const std::u16string& path, const std::string& bytes);

#ifndef _WIN32
// The POSIX spelling of a path, for the POSIX process layer and for libraries that take one.
// Windows code opens files by their wide path and has no use for it.
std::string NativePath(const std::u16string& path);
#endif

}  // namespace norvex::sideloader::files
