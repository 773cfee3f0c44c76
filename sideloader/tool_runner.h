// Running the SDK tools: a port with a Win32 implementation (hidden child, anonymous pipe) and
// a POSIX one (pipe and posix_spawn), so the same decisions run against the real tools natively.
// A command-line text carries only the arguments and begins with a blank; the tool's path goes
// apart from it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace norvex::sideloader {

enum class RunStatus { Finished, NoPipe, NotStarted };

struct CapturedBytes {
  RunStatus status = RunStatus::NotStarted;
  std::string bytes;
};

class ToolRunner {
 public:
  virtual ~ToolRunner() = default;
  // Runs the tool with standard output and error both going into one pipe and reads it in
  // chunks of `chunkBytes` until the end of the stream, sleeping `pauseMs` after each chunk.
  // The end of the output is the end of the run: the child itself is not waited for.
  virtual CapturedBytes Capture(const std::u16string& tool, const std::u16string& commandLine, std::size_t chunkBytes,
                                unsigned pauseMs) = 0;
  // Starts the tool hidden, inheriting nothing and capturing nothing, and waits at most
  // `waitMs` for it to end. True when it could be started.
  virtual bool StartAndWait(const std::u16string& tool, const std::u16string& commandLine, unsigned waitMs) = 0;
};

struct CapturedRun {
  RunStatus status = RunStatus::NotStarted;
  std::u16string output;
};

// The captured run with its output decoded as a whole: as UTF-8 when the bytes are valid
// UTF-8 (the SDK tools print UTF-8), otherwise from the ANSI code page. Decoding chunk by chunk
// would break a character that straddles two reads.
CapturedRun RunCaptured(ToolRunner& runner, const std::u16string& tool, const std::u16string& commandLine,
                        std::size_t chunkBytes, unsigned pauseMs);
std::u16string DecodeToolOutput(const std::string& bytes);

// The arguments a child sees for a command-line text, by the Windows C runtime's rules: blanks
// and tabs separate, double quotes group, backslashes before a quote escape it. Used where the
// platform wants an argument vector.
std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine);

}  // namespace norvex::sideloader
