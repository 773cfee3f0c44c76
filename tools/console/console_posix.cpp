// POSIX entry point of a tool: arguments are taken as UTF-8.
#include "console.h"
#include "text.h"

int main(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 0; i < argc; ++i) args.push_back(norvex::text::FromUtf8(argv[i]));
  return norvex::tools::ToolMain(args);
}
