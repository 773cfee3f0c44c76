// MD5 block transform and buffering. The 64 steps are spelled out so the compiler keeps the
// four state words and the sixteen message words in registers; the message words are read
// with memcpy, which is a plain load on little-endian machines.
#include "md5.h"

#include <bit>
#include <cstring>

namespace norvex::update {
namespace {

inline std::uint32_t Load32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  if constexpr (std::endian::native == std::endian::big) {
    v = (v >> 24) | ((v >> 8) & 0xff00u) | ((v << 8) & 0xff0000u) | (v << 24);
  }
  return v;
}

// The round functions in their cheaper equivalent forms (one operation fewer than RFC 1321's
// F and G as written).
#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define MD5_STEP(f, a, b, c, d, x, t, s) \
  a += f(b, c, d) + (x) + (t);           \
  a = std::rotl(a, s) + (b)

void Transform(std::uint32_t state[4], const std::uint8_t* p, std::size_t blocks) {
  std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (; blocks > 0; --blocks, p += 64) {
    const std::uint32_t x0 = Load32(p), x1 = Load32(p + 4), x2 = Load32(p + 8), x3 = Load32(p + 12),
                        x4 = Load32(p + 16), x5 = Load32(p + 20), x6 = Load32(p + 24), x7 = Load32(p + 28),
                        x8 = Load32(p + 32), x9 = Load32(p + 36), x10 = Load32(p + 40), x11 = Load32(p + 44),
                        x12 = Load32(p + 48), x13 = Load32(p + 52), x14 = Load32(p + 56), x15 = Load32(p + 60);
    const std::uint32_t a0 = a, b0 = b, c0 = c, d0 = d;

    MD5_STEP(MD5_F, a, b, c, d, x0, 0xd76aa478u, 7);
    MD5_STEP(MD5_F, d, a, b, c, x1, 0xe8c7b756u, 12);
    MD5_STEP(MD5_F, c, d, a, b, x2, 0x242070dbu, 17);
    MD5_STEP(MD5_F, b, c, d, a, x3, 0xc1bdceeeu, 22);
    MD5_STEP(MD5_F, a, b, c, d, x4, 0xf57c0fafu, 7);
    MD5_STEP(MD5_F, d, a, b, c, x5, 0x4787c62au, 12);
    MD5_STEP(MD5_F, c, d, a, b, x6, 0xa8304613u, 17);
    MD5_STEP(MD5_F, b, c, d, a, x7, 0xfd469501u, 22);
    MD5_STEP(MD5_F, a, b, c, d, x8, 0x698098d8u, 7);
    MD5_STEP(MD5_F, d, a, b, c, x9, 0x8b44f7afu, 12);
    MD5_STEP(MD5_F, c, d, a, b, x10, 0xffff5bb1u, 17);
    MD5_STEP(MD5_F, b, c, d, a, x11, 0x895cd7beu, 22);
    MD5_STEP(MD5_F, a, b, c, d, x12, 0x6b901122u, 7);
    MD5_STEP(MD5_F, d, a, b, c, x13, 0xfd987193u, 12);
    MD5_STEP(MD5_F, c, d, a, b, x14, 0xa679438eu, 17);
    MD5_STEP(MD5_F, b, c, d, a, x15, 0x49b40821u, 22);

    MD5_STEP(MD5_G, a, b, c, d, x1, 0xf61e2562u, 5);
    MD5_STEP(MD5_G, d, a, b, c, x6, 0xc040b340u, 9);
    MD5_STEP(MD5_G, c, d, a, b, x11, 0x265e5a51u, 14);
    MD5_STEP(MD5_G, b, c, d, a, x0, 0xe9b6c7aau, 20);
    MD5_STEP(MD5_G, a, b, c, d, x5, 0xd62f105du, 5);
    MD5_STEP(MD5_G, d, a, b, c, x10, 0x02441453u, 9);
    MD5_STEP(MD5_G, c, d, a, b, x15, 0xd8a1e681u, 14);
    MD5_STEP(MD5_G, b, c, d, a, x4, 0xe7d3fbc8u, 20);
    MD5_STEP(MD5_G, a, b, c, d, x9, 0x21e1cde6u, 5);
    MD5_STEP(MD5_G, d, a, b, c, x14, 0xc33707d6u, 9);
    MD5_STEP(MD5_G, c, d, a, b, x3, 0xf4d50d87u, 14);
    MD5_STEP(MD5_G, b, c, d, a, x8, 0x455a14edu, 20);
    MD5_STEP(MD5_G, a, b, c, d, x13, 0xa9e3e905u, 5);
    MD5_STEP(MD5_G, d, a, b, c, x2, 0xfcefa3f8u, 9);
    MD5_STEP(MD5_G, c, d, a, b, x7, 0x676f02d9u, 14);
    MD5_STEP(MD5_G, b, c, d, a, x12, 0x8d2a4c8au, 20);

    MD5_STEP(MD5_H, a, b, c, d, x5, 0xfffa3942u, 4);
    MD5_STEP(MD5_H, d, a, b, c, x8, 0x8771f681u, 11);
    MD5_STEP(MD5_H, c, d, a, b, x11, 0x6d9d6122u, 16);
    MD5_STEP(MD5_H, b, c, d, a, x14, 0xfde5380cu, 23);
    MD5_STEP(MD5_H, a, b, c, d, x1, 0xa4beea44u, 4);
    MD5_STEP(MD5_H, d, a, b, c, x4, 0x4bdecfa9u, 11);
    MD5_STEP(MD5_H, c, d, a, b, x7, 0xf6bb4b60u, 16);
    MD5_STEP(MD5_H, b, c, d, a, x10, 0xbebfbc70u, 23);
    MD5_STEP(MD5_H, a, b, c, d, x13, 0x289b7ec6u, 4);
    MD5_STEP(MD5_H, d, a, b, c, x0, 0xeaa127fau, 11);
    MD5_STEP(MD5_H, c, d, a, b, x3, 0xd4ef3085u, 16);
    MD5_STEP(MD5_H, b, c, d, a, x6, 0x04881d05u, 23);
    MD5_STEP(MD5_H, a, b, c, d, x9, 0xd9d4d039u, 4);
    MD5_STEP(MD5_H, d, a, b, c, x12, 0xe6db99e5u, 11);
    MD5_STEP(MD5_H, c, d, a, b, x15, 0x1fa27cf8u, 16);
    MD5_STEP(MD5_H, b, c, d, a, x2, 0xc4ac5665u, 23);

    MD5_STEP(MD5_I, a, b, c, d, x0, 0xf4292244u, 6);
    MD5_STEP(MD5_I, d, a, b, c, x7, 0x432aff97u, 10);
    MD5_STEP(MD5_I, c, d, a, b, x14, 0xab9423a7u, 15);
    MD5_STEP(MD5_I, b, c, d, a, x5, 0xfc93a039u, 21);
    MD5_STEP(MD5_I, a, b, c, d, x12, 0x655b59c3u, 6);
    MD5_STEP(MD5_I, d, a, b, c, x3, 0x8f0ccc92u, 10);
    MD5_STEP(MD5_I, c, d, a, b, x10, 0xffeff47du, 15);
    MD5_STEP(MD5_I, b, c, d, a, x1, 0x85845dd1u, 21);
    MD5_STEP(MD5_I, a, b, c, d, x8, 0x6fa87e4fu, 6);
    MD5_STEP(MD5_I, d, a, b, c, x15, 0xfe2ce6e0u, 10);
    MD5_STEP(MD5_I, c, d, a, b, x6, 0xa3014314u, 15);
    MD5_STEP(MD5_I, b, c, d, a, x13, 0x4e0811a1u, 21);
    MD5_STEP(MD5_I, a, b, c, d, x4, 0xf7537e82u, 6);
    MD5_STEP(MD5_I, d, a, b, c, x11, 0xbd3af235u, 10);
    MD5_STEP(MD5_I, c, d, a, b, x2, 0x2ad7d2bbu, 15);
    MD5_STEP(MD5_I, b, c, d, a, x9, 0xeb86d391u, 21);

    a += a0, b += b0, c += c0, d += d0;
  }
  state[0] = a, state[1] = b, state[2] = c, state[3] = d;
}

#undef MD5_STEP
#undef MD5_I
#undef MD5_H
#undef MD5_G
#undef MD5_F

}  // namespace

void Md5::Update(const void* bytes, std::size_t count) {
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  length_ += count;
  if (pendingCount_ > 0) {
    const std::size_t take = count < 64 - pendingCount_ ? count : 64 - pendingCount_;
    std::memcpy(pending_ + pendingCount_, p, take);
    pendingCount_ += take, p += take, count -= take;
    if (pendingCount_ < 64) return;
    Transform(state_, pending_, 1);
    pendingCount_ = 0;
  }
  Transform(state_, p, count / 64);
  p += count / 64 * 64;
  count %= 64;
  if (count > 0) std::memcpy(pending_, p, count);
  pendingCount_ = count;
}

Md5Digest Md5::Finish() {
  const std::uint64_t bits = length_ * 8;
  std::uint8_t tail[72] = {0x80};
  const std::size_t padding = (pendingCount_ < 56 ? 56 : 120) - pendingCount_;
  for (int i = 0; i < 8; ++i) tail[padding + i] = static_cast<std::uint8_t>(bits >> (8 * i));
  Update(tail, padding + 8);
  Md5Digest digest;
  for (int i = 0; i < 16; ++i) digest[i] = static_cast<std::uint8_t>(state_[i / 4] >> (8 * (i % 4)));
  *this = Md5();
  return digest;
}

std::string DigestHex(const Md5Digest& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex(32, '0');
  for (std::size_t i = 0; i < digest.size(); ++i) {
    hex[2 * i] = kDigits[digest[i] >> 4];
    hex[2 * i + 1] = kDigits[digest[i] & 0x0f];
  }
  return hex;
}

}  // namespace norvex::update
