// POSIX stand-in for CP_ACP: the environment locale's code set, as the JVM's process sees it.
#include "ansi_text.h"
#include "posix/iconv_text.h"

namespace norvex::native {

std::u16string AnsiToWide(std::string_view ansi) { return posix::CodeSetToUtf16(ansi, posix::EnvironmentCodeSet()); }

std::string WideToAnsi(std::u16string_view wide) { return posix::Utf16ToCodeSet(wide, posix::EnvironmentCodeSet()); }

}  // namespace norvex::native
