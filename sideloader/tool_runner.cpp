// Decoding of captured output and the argument split shared by the platform runners.
#include "tool_runner.h"

#include "text.h"

namespace norvex::sideloader {

std::u16string DecodeToolOutput(const std::string& bytes) {
  if (text::IsValidUtf8(bytes)) return text::FromUtf8(bytes);
  return text::FromAnsi(bytes);
}

CapturedRun RunCaptured(ToolRunner& runner, const std::u16string& tool, const std::u16string& commandLine,
                        std::size_t chunkBytes, unsigned pauseMs) {
  CapturedBytes raw = runner.Capture(tool, commandLine, chunkBytes, pauseMs);
  CapturedRun run;
  run.status = raw.status;
  if (raw.status == RunStatus::Finished) run.output = DecodeToolOutput(raw.bytes);
  return run;
}

std::vector<std::u16string> SplitCommandLine(std::u16string_view line) {
  std::vector<std::u16string> args;
  std::size_t i = 0;
  const auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  for (;;) {
    while (i < line.size() && blank(line[i])) ++i;
    if (i >= line.size()) break;
    std::u16string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || !blank(line[i]))) {
      if (line[i] == u'\\') {
        std::size_t slashes = 0;
        while (i < line.size() && line[i] == u'\\') ++slashes, ++i;
        if (i < line.size() && line[i] == u'"') {
          arg.append(slashes / 2, u'\\');
          if (slashes % 2 == 1) {
            arg += u'"';
            ++i;
          }
        } else {
          arg.append(slashes, u'\\');
        }
      } else if (line[i] == u'"') {
        if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
          arg += u'"';  // a doubled quote inside quotes is one literal quote
          i += 2;
        } else {
          quoted = !quoted;
          ++i;
        }
      } else {
        arg += line[i++];
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}

}  // namespace norvex::sideloader
