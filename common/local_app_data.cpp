// Where the user's "Local AppData" folder is recorded.
#include "registry.h"

namespace norvex {

std::u16string ReadLocalAppData(RegistryReader& registry, std::size_t bufferBytes) {
  auto value = registry.ReadText(RegistryRoot::CurrentUser, u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                 u"Local AppData", bufferBytes);
  return value.value_or(std::u16string());
}

}  // namespace norvex
