// Converting between UTF-16 and a named 8-bit code set with iconv, the way Windows converts
// to and from its ANSI code page: undecodable bytes become U+FFFD, unencodable characters '?'.
// Header-only so that the norvextool library can use it without linking anything of ours.
#pragma once

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>

namespace norvex::posix {

static_assert(std::endian::native == std::endian::little, "UTF-16LE is taken as char16_t");

// The code set of the environment's locale (what LANG / LC_ALL / LC_CTYPE name), read
// without touching the process locale, so a host that never called setlocale still gets it.
inline std::string EnvironmentCodeSet() {
  std::string name = "ANSI_X3.4-1968";
  if (locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0))) {
    name = nl_langinfo_l(CODESET, loc);
    freelocale(loc);
  }
  return name;
}

class IconvConverter {
 public:
  IconvConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~IconvConverter() {
    if (ok()) iconv_close(cd_);
  }
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as possible; on an unconvertible unit calls onError(in, inLeft, out) which
  // must advance the input and may append to the output. Returns the converted bytes.
  template <typename OnError>
  std::string Run(const char* in, std::size_t inLeft, OnError onError) {
    std::string out;
    char buffer[4096];
    while (inLeft > 0) {
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      const std::size_t rc = iconv(cd_, const_cast<char**>(&in), &inLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
        onError(in, inLeft, out);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    iconv(cd_, nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    return out;
  }

 private:
  iconv_t cd_;
};

inline std::u16string CodeSetToUtf16(std::string_view bytes, const std::string& codeSet) {
  IconvConverter cv("UTF-16LE", codeSet.c_str());
  std::string raw;
  if (!cv.ok()) {
    // An unknown code set: pass ASCII through, replace the rest.
    for (unsigned char c : bytes) raw += c < 0x80 ? std::string{static_cast<char>(c), '\0'} : std::string("\xFD\xFF", 2);
  } else {
    raw = cv.Run(bytes.data(), bytes.size(), [](const char*& in, std::size_t& left, std::string& out) {
      // EILSEQ skips one bad byte; EINVAL (a sequence cut off at the end) drops the rest.
      const std::size_t skip = errno == EILSEQ ? 1 : left;
      in += skip;
      left -= skip;
      out.append("\xFD\xFF", 2);
    });
  }
  std::u16string out(raw.size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(static_cast<unsigned char>(raw[2 * i]) | (static_cast<unsigned char>(raw[2 * i + 1]) << 8));
  }
  return out;
}

inline std::string Utf16ToCodeSet(std::u16string_view text, const std::string& codeSet) {
  std::string raw(text.size() * 2, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    raw[2 * i] = static_cast<char>(text[i] & 0xFF);
    raw[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  IconvConverter cv(codeSet.c_str(), "UTF-16LE");
  if (!cv.ok()) {
    std::string out;
    for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
  }
  return cv.Run(raw.data(), raw.size(), [](const char*& in, std::size_t& left, std::string& out) {
    // One '?' per character: a whole surrogate pair when one stands here, else one unit.
    std::size_t skip = 2;
    if (left >= 4) {
      const unsigned hi = static_cast<unsigned char>(in[1]), lo = static_cast<unsigned char>(in[3]);
      if (hi >= 0xD8 && hi <= 0xDB && lo >= 0xDC && lo <= 0xDF) skip = 4;
    }
    skip = std::min(skip, left);
    in += skip;
    left -= skip;
    out.push_back('?');
  });
}

}  // namespace norvex::posix
