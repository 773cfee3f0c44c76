// MD5 message digest (RFC 1321), written for speed: package files of hundreds of megabytes are
// digested before every update, so whole 64-byte blocks are taken straight from the caller's
// buffer and only a trailing partial block is copied.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace norvex::update {

using Md5Digest = std::array<std::uint8_t, 16>;

class Md5 {
 public:
  void Update(const void* bytes, std::size_t count);
  // Pads, returns the digest and starts over, so the object can digest the next input.
  Md5Digest Finish();

 private:
  std::uint32_t state_[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
  std::uint64_t length_ = 0;  // bytes seen so far
  std::uint8_t pending_[64] = {};
  std::size_t pendingCount_ = 0;
};

// Two lower-case hexadecimal digits per byte ("%02x"), in order.
std::string DigestHex(const Md5Digest& digest);

}  // namespace norvex::update
