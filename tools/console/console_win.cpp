// Windows entry point of a tool: wide arguments, UTF-8 output on a console or in a pipe.
#include <fcntl.h>
#include <io.h>

#include "console.h"
#include "win/windows_api.h"

int wmain(int argc, wchar_t** argv) {
  ::SetConsoleOutputCP(CP_UTF8);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::vector<std::u16string> args;
  for (int i = 0; i < argc; ++i) args.push_back(norvex::win::ToU16(argv[i]));
  return norvex::tools::ToolMain(args);
}
