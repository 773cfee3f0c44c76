// The shell services the host asks for (starting a file, the per-user application-data
// folder, telling a 64-bit Windows) behind a small port, and the choices made around it.
#pragma once

#include <optional>
#include <string>

namespace norvex::native {

// What the shell is asked to open: 8-bit ANSI texts; parameters and directory may be absent.
struct ShellRequest {
  std::string file;
  std::optional<std::string> parameters;
  std::optional<std::string> directory;
};

class HostShell {
 public:
  virtual ~HostShell() = default;
  // Whether the running Windows is 64-bit; false when that cannot be told.
  virtual bool IsWindows64() = 0;
  // Opens the file through the shell with the default verb; true when the shell accepted it.
  virtual bool Open(const ShellRequest& request) = 0;
  // Like Open, then waits for the started process to end. True when the shell accepted it,
  // also when it started no process of its own (the file went to a program already running).
  virtual bool OpenAndWait(const ShellRequest& request) = 0;
  // The current user's local application-data folder as the shell reports it.
  virtual std::optional<std::string> ShellLocalAppData() = 0;
  // The same folder from the "Local AppData" value of the user's shell folders in the registry.
  virtual std::optional<std::string> RegistryLocalAppData() = 0;
};

// Opens a file through the shell, waiting for the started program when asked. A request
// without a file answers false without asking the shell.
bool ShellExecuteFile(HostShell& shell, const std::optional<ShellRequest>& request, bool wait);

// The folder from the shell, else a non-empty registry value, else the empty string.
std::string CurrentLocalAppFolder(HostShell& shell);

}  // namespace norvex::native
