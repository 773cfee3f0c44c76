// The registry as the programs read it: a narrow port, so the decisions built on top of it
// (fallback folders, recorded versions) run in tests against a scripted registry.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace norvex {

enum class RegistryRoot { CurrentUser, LocalMachine };

class RegistryReader {
 public:
  virtual ~RegistryReader() = default;
  // Opens `subKey` for reading and reads the text value `valueName` into a buffer of
  // `bufferBytes` bytes, the way the programs size their buffers. Returns nothing when the key
  // does not open or the read fails (a value larger than the buffer fails); otherwise the
  // text up to its first zero character.
  virtual std::optional<std::u16string> ReadText(RegistryRoot root, std::u16string_view subKey,
                                                 std::u16string_view valueName, std::size_t bufferBytes) = 0;
};

// The per-user application-data folder: "Local AppData" of the current user's shell folders.
// Empty when the key does not open, the read fails or the value is empty; each program
// appends its own sub-folder and chooses its own fallback.
std::u16string ReadLocalAppData(RegistryReader& registry, std::size_t bufferBytes);

}  // namespace norvex
