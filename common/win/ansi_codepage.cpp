// The Windows ANSI code pages (CP_ACP, CP_THREAD_ACP) through the system's converters.
#include "text.h"
#include "win/windows_api.h"

namespace norvex::text {
namespace {

UINT ToWindows(CodePage page) { return page == CodePage::ThreadAnsi ? CP_THREAD_ACP : CP_ACP; }

}  // namespace

void SetAnsiCodeSetForTesting(std::string_view) {}

std::u16string FromAnsi(std::string_view bytes, CodePage page) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  const int units = ::MultiByteToWideChar(ToWindows(page), 0, bytes.data(), length, nullptr, 0);
  std::u16string out(units > 0 ? units : 0, u'\0');
  if (units > 0) ::MultiByteToWideChar(ToWindows(page), 0, bytes.data(), length, win::W(out.data()), units);
  return out;
}

std::string ToAnsi(std::u16string_view utf16, CodePage page) {
  if (utf16.empty()) return {};
  const int length = static_cast<int>(utf16.size());
  const auto* src = reinterpret_cast<const wchar_t*>(utf16.data());
  const int bytes = ::WideCharToMultiByte(ToWindows(page), 0, src, length, nullptr, 0, nullptr, nullptr);
  std::string out(bytes > 0 ? bytes : 0, '\0');
  if (bytes > 0) ::WideCharToMultiByte(ToWindows(page), 0, src, length, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace norvex::text
