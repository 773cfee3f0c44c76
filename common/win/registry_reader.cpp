// Reads registry text values with the buffer sizes the programs ask for.
#include "win/registry_reader.h"

#include <vector>

#include "win/handles.h"

namespace norvex::win {

std::optional<std::u16string> Win32RegistryReader::ReadText(RegistryRoot root, std::u16string_view subKey,
                                                            std::u16string_view valueName, std::size_t bufferBytes) {
  const HKEY hive = root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  unique_hkey key;
  const std::u16string keyName(subKey), value(valueName);
  if (::RegOpenKeyExW(hive, W(keyName), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;

  // One spare zero character past the caller's buffer, so an unterminated value still ends.
  std::vector<char16_t> buffer(bufferBytes / sizeof(char16_t) + 1, u'\0');
  DWORD size = static_cast<DWORD>(bufferBytes);
  if (::RegQueryValueExW(key.get(), W(value), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::u16string(buffer.data());
}

}  // namespace norvex::win
