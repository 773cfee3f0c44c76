// The shared frame of our command-line tools: arguments arrive as UTF-16 on every platform and
// output leaves as UTF-8.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace norvex::tools {

// Each tool defines this; args[0] is the program name.
int ToolMain(const std::vector<std::u16string>& args);

void Print(std::FILE* stream, std::u16string_view text);
void Print(std::FILE* stream, std::string_view utf8);

}  // namespace norvex::tools
