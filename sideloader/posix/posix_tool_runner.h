// The tool runner on POSIX: the child gets one pipe as standard output and error through
// posix_spawn, so native tests run the real aapt and adb exactly as the program would.
#pragma once

#include "tool_runner.h"

namespace norvex::sideloader {

class PosixToolRunner final : public ToolRunner {
 public:
  CapturedBytes Capture(const std::u16string& tool, const std::u16string& commandLine, std::size_t chunkBytes,
                        unsigned pauseMs) override;
  bool StartAndWait(const std::u16string& tool, const std::u16string& commandLine, unsigned waitMs) override;
};

}  // namespace norvex::sideloader
