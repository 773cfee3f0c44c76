// The shared frame of our command-line tools: arguments arrive as UTF-16 on every platform and
// output leaves as UTF-8.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "text.h"

namespace norvex::tools {

// Each tool defines this; args[0] is the program name.
int ToolMain(const std::vector<std::u16string>& args);

inline void Print(std::FILE* stream, std::string_view utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stream); }
inline void Print(std::FILE* stream, std::u16string_view text) { Print(stream, text::ToUtf8(text)); }

}  // namespace norvex::tools
