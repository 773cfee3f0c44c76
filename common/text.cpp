// The platform-independent half of text.h: UTF conversions, ASCII case, decimal parsing.
#include "text.h"

#include <limits>

namespace norvex::text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at `pos` into `cp` and advances `pos` past it. A bad sequence
// gives U+FFFD and false; overlong forms, surrogates and values above U+10FFFF are bad, and
// the decoder resumes at the first byte that cannot continue the sequence, as Unicode advises.
bool DecodeUtf8(std::string_view s, std::size_t& pos, char32_t& cp) {
  const auto lead = static_cast<unsigned char>(s[pos]);
  std::size_t length;
  if (lead < 0x80) {
    length = 1, cp = lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07;
  } else {
    ++pos;
    cp = kReplacement;
    return false;
  }
  std::size_t i = 1;
  for (; i < length && pos + i < s.size(); ++i) {
    const auto next = static_cast<unsigned char>(s[pos + i]);
    bool continues = (next & 0xC0) == 0x80;
    if (continues && i == 1) {
      if (lead == 0xE0) continues = next >= 0xA0;       // overlong
      else if (lead == 0xED) continues = next < 0xA0;   // surrogate
      else if (lead == 0xF0) continues = next >= 0x90;  // overlong
      else if (lead == 0xF4) continues = next < 0x90;   // above U+10FFFF
    }
    if (!continues) break;
    cp = (cp << 6) | (next & 0x3F);
  }
  pos += i;
  if (i < length) {
    cp = kReplacement;
    return false;
  }
  return true;
}

}  // namespace

std::u16string FromUtf8(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  char32_t cp;
  for (std::size_t pos = 0; pos < utf8.size();) {
    DecodeUtf8(utf8, pos, cp);
    AppendUtf16(out, cp);
  }
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  char32_t cp;
  for (std::size_t pos = 0; pos < bytes.size();) {
    if (!DecodeUtf8(bytes, pos, cp)) return false;
  }
  return true;
}

std::string ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    char32_t cp = unit;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      cp = kReplacement;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

char16_t AsciiUpper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c; }

std::u16string AsciiUpper(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out) c = AsciiUpper(c);
  return out;
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

std::string ToPosixPath(std::u16string_view path) {
  std::string posix = ToUtf8(path);
  for (char& c : posix) {
    if (c == '\\') c = '/';
  }
  return posix;
}

std::int32_t WideToInt(std::u16string_view s) {
  std::size_t i = 0;
  const auto isSpace = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
  while (i < s.size() && isSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
    value = value * 10 + (s[i] - u'0');
    if (value > kLimit) value = kLimit;  // saturate; keep reading digits
  }
  if (negative) return static_cast<std::int32_t>(-value);
  return value > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                          : static_cast<std::int32_t>(value);
}

}  // namespace norvex::text
