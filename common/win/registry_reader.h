// The real registry behind RegistryReader.
#pragma once

#include "registry.h"

namespace norvex::win {

class Win32RegistryReader final : public RegistryReader {
 public:
  std::optional<std::u16string> ReadText(RegistryRoot root, std::u16string_view subKey, std::u16string_view valueName,
                                         std::size_t bufferBytes) override;
};

}  // namespace norvex::win
