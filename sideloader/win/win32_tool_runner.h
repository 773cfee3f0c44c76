// The tool runner on Windows: a hidden child whose standard output and error are one
// anonymous pipe.
#pragma once

#include "tool_runner.h"

namespace norvex::sideloader::win {

class Win32ToolRunner final : public ToolRunner {
 public:
  CapturedBytes Capture(const std::u16string& tool, const std::u16string& commandLine, std::size_t chunkBytes,
                        unsigned pauseMs) override;
  bool StartAndWait(const std::u16string& tool, const std::u16string& commandLine, unsigned waitMs) override;
};

}  // namespace norvex::sideloader::win
