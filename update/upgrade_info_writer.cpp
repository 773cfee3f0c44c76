// Encodes upgrade information the way the updater decodes it.
#include "upgrade_info_writer.h"

#include "upgrade_info.h"

namespace norvex::update {

std::vector<std::uint8_t> EncodeUpgradeInfo(std::string_view jsonText, std::uint8_t leadByte) {
  std::vector<std::uint8_t> file(16, 0);
  file.push_back(leadByte);
  for (char c : jsonText) file.push_back(static_cast<std::uint8_t>(~static_cast<unsigned char>(c)));
  const std::string digest = Md5Hex(file.data() + 16, file.size() - 16);
  for (int i = 0; i < 16; ++i) file[i] = static_cast<std::uint8_t>(std::stoi(digest.substr(2 * i, 2), nullptr, 16));
  return file;
}

}  // namespace norvex::update
