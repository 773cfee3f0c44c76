// CP_ACP conversions for the host strings. Kept apart from common/ because this library
// links nothing else of ours.
#include "ansi_text.h"
#include "win/windows_api.h"

namespace norvex::native {

std::u16string AnsiToWide(std::string_view ansi) {
  const int length = static_cast<int>(ansi.size());
  const int units = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
  if (units < 1) return {};
  std::u16string wide(static_cast<std::size_t>(units), u'\0');
  const int written = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, reinterpret_cast<wchar_t*>(wide.data()), units);
  wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return wide;
}

std::string WideToAnsi(std::u16string_view wide) {
  // Twice the length suffices: a DBCS code page writes at most two bytes per UTF-16 unit.
  std::string ansi(wide.size() * 2 + 1, '\0');
  const int written = ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(wide.data()), static_cast<int>(wide.size()),
                                            ansi.data(), static_cast<int>(ansi.size()), nullptr, nullptr);
  ansi.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return ansi;
}

}  // namespace norvex::native
