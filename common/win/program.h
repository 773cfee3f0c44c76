// What every one of our Windows programs asks about itself at start-up.
#pragma once

#include <string>
#include <vector>

namespace norvex::win {

// The running executable's full path (a buffer of 1561 characters, as the programs size it).
std::u16string ModulePath();
// The program's name: the executable's file name without its extension.
std::u16string ProgramName(const std::u16string& modulePath);
// The command line split the way the C runtime splits it; entry 0 is the program as written.
std::vector<std::u16string> CommandLineArguments();

// Runs App::Instance().InitInstance(), the whole life of one of our programs. Whatever escapes it
// ends the program quietly: there is no window left to show it in and nothing to save.
template <typename App>
void RunApplication() noexcept {
  try {
    App::Instance().InitInstance();
  } catch (...) {
  }
}

}  // namespace norvex::win
