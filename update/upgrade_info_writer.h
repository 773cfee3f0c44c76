// Writing an upgrade information file: the inverse of decoding, used by upgrade-tool and tests.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace norvex::update {

// Digest header over everything after it, the lead byte, then the JSON text complemented.
std::vector<std::uint8_t> EncodeUpgradeInfo(std::string_view jsonText, std::uint8_t leadByte = 0x01);

}  // namespace norvex::update
