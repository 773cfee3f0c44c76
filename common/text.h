// Text handling shared by every program: all user texts and paths are UTF-16 in
// std::u16string; 8-bit text meets them only through the conversions declared here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace norvex::text {

// UTF-8 <-> UTF-16. Malformed input never fails: each invalid UTF-8 sequence and each
// unpaired surrogate becomes U+FFFD, so a bad byte cannot swallow the text after it.
std::u16string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::u16string_view utf16);
bool IsValidUtf8(std::string_view bytes);

// A Windows path as POSIX calls take it: UTF-8 with every '\' turned into '/'. The native
// builds run the Windows programs' logic, which spells paths with backslashes.
std::string ToPosixPath(std::u16string_view path);

// Which "ANSI" code page a conversion uses. On Windows these are CP_ACP and CP_THREAD_ACP;
// elsewhere both mean the code set of the environment's locale (LC_ALL / LC_CTYPE / LANG),
// which SetAnsiCodeSetForTesting can replace.
enum class CodePage { Ansi, ThreadAnsi };

// Bytes the code page cannot decode become U+FFFD; characters it cannot encode become '?'.
std::u16string FromAnsi(std::string_view bytes, CodePage page = CodePage::Ansi);
std::string ToAnsi(std::u16string_view utf16, CodePage page = CodePage::Ansi);

// POSIX only: makes the conversions above use `codeSet` (an iconv name such as "GBK");
// an empty name goes back to the locale's code set. Windows ignores it.
void SetAnsiCodeSetForTesting(std::string_view codeSet);

// ASCII-only case handling, the way Windows compares paths and mode words: letters outside
// A-Z/a-z are left alone, so the result never depends on the user's locale.
char16_t AsciiUpper(char16_t c);
std::u16string AsciiUpper(std::u16string_view s);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);

// The C library's wide decimal conversion (_wtoi): leading white space, an optional sign,
// digits up to the first non-digit; no digits gives 0; out-of-range values saturate.
std::int32_t WideToInt(std::u16string_view s);

}  // namespace norvex::text
