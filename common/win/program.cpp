// Module path, program name and argument vector of the running program.
#include "win/program.h"

#include "win/windows_api.h"
// After windows.h, which it needs.
#include <shellapi.h>

namespace norvex::win {

std::u16string ModulePath() {
  wchar_t buffer[1561] = {};
  ::GetModuleFileNameW(nullptr, buffer, 1560);
  return ToU16(buffer);
}

std::u16string ProgramName(const std::u16string& modulePath) {
  const auto slash = modulePath.find_last_of(u"\\/");
  std::u16string name = slash == std::u16string::npos ? modulePath : modulePath.substr(slash + 1);
  const auto dot = name.rfind(u'.');
  return dot == std::u16string::npos ? name : name.substr(0, dot);
}

std::vector<std::u16string> CommandLineArguments() {
  std::vector<std::u16string> args;
  int count = 0;
  if (LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
    for (int i = 0; i < count; ++i) args.push_back(ToU16(argv[i]));
    ::LocalFree(argv);
  }
  return args;
}

}  // namespace norvex::win
