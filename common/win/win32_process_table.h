// The running processes through Toolhelp snapshots.
#pragma once

#include "process_table.h"

namespace norvex::win {

class Win32ProcessTable final : public ProcessTable {
 public:
  std::vector<ProcessEntry> List() override;
  std::optional<std::u16string> FirstModulePath(std::uint32_t pid) override;
  bool Terminate(std::uint32_t pid, std::uint32_t exitCode) override;
};

}  // namespace norvex::win
