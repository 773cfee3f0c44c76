// POSIX stand-in for the Windows ANSI code pages: the environment locale's code set, or the
// one a test chose, through iconv.
#include <mutex>

#include "iconv_text.h"
#include "text.h"

namespace norvex::text {
namespace {

std::mutex gOverrideMutex;
std::string gOverride;

std::string CurrentCodeSet() {
  {
    std::lock_guard lock(gOverrideMutex);
    if (!gOverride.empty()) return gOverride;
  }
  return posix::EnvironmentCodeSet();
}

}  // namespace

void SetAnsiCodeSetForTesting(std::string_view codeSet) {
  std::lock_guard lock(gOverrideMutex);
  gOverride = codeSet;
}

std::u16string FromAnsi(std::string_view bytes, CodePage) { return posix::CodeSetToUtf16(bytes, CurrentCodeSet()); }

std::string ToAnsi(std::u16string_view utf16, CodePage) { return posix::Utf16ToCodeSet(utf16, CurrentCodeSet()); }

}  // namespace norvex::text
