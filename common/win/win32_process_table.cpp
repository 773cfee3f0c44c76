// Process and module snapshots, and ending a process with terminate access only.
#include "win/win32_process_table.h"

#include "win/handles.h"
// After windows.h, which it needs.
#include <tlhelp32.h>

namespace norvex::win {

std::vector<ProcessEntry> Win32ProcessTable::List() {
  std::vector<ProcessEntry> processes;
  unique_file_handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return processes;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
    processes.push_back(ProcessEntry{entry.th32ProcessID, ToU16(entry.szExeFile)});
  }
  return processes;
}

std::optional<std::u16string> Win32ProcessTable::FirstModulePath(std::uint32_t pid) {
  unique_file_handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
  if (!snapshot) return std::nullopt;
  MODULEENTRY32W module{};
  module.dwSize = sizeof module;
  if (!::Module32FirstW(snapshot.get(), &module)) return std::nullopt;
  return ToU16(module.szExePath);
}

bool Win32ProcessTable::Terminate(std::uint32_t pid, std::uint32_t exitCode) {
  unique_handle process(::OpenProcess(PROCESS_TERMINATE, FALSE, pid));
  return process && ::TerminateProcess(process.get(), exitCode);
}

}  // namespace norvex::win
