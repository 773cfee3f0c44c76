// POSIX entry point of a tool: arguments are taken as UTF-8.
#include "console.h"
#include "text.h"

namespace norvex::tools {

void Print(std::FILE* stream, std::string_view utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stream); }
void Print(std::FILE* stream, std::u16string_view text) { Print(stream, text::ToUtf8(text)); }

}  // namespace norvex::tools

int main(int argc, char** argv) {
  std::vector<std::u16string> args;
  for (int i = 0; i < argc; ++i) args.push_back(norvex::text::FromUtf8(argv[i]));
  return norvex::tools::ToolMain(args);
}
