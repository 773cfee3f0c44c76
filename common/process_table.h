// The running processes as the programs look at them: a snapshot in the system's order, the
// first module of a process, and ending one. A port, so the decisions run against a scripted
// table in tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace norvex {

struct ProcessEntry {
  std::uint32_t pid;
  std::u16string exeName;  // the image name as the snapshot reports it, e.g. "javaw.exe"
};

class ProcessTable {
 public:
  virtual ~ProcessTable() = default;
  // All processes, in snapshot order.
  virtual std::vector<ProcessEntry> List() = 0;
  // Full path of the process's first module; nothing when its modules cannot be read.
  virtual std::optional<std::u16string> FirstModulePath(std::uint32_t pid) = 0;
  // Opens the process with terminate access only and ends it with `exitCode`.
  virtual bool Terminate(std::uint32_t pid, std::uint32_t exitCode) = 0;
};

}  // namespace norvex
