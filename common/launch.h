// Starting a program for the user without handing on our elevation: an elevated caller
// starts it with the desktop shell's token, anyone else through the shell's open action.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace norvex {

// The platform steps behind the two operations, one call per decision point, so that every
// branch can be driven by a scripted platform in tests.
class Launcher {
 public:
  virtual ~Launcher() = default;
  // The elevation type of our own token (2 = full administrator); nothing when it cannot be read.
  virtual std::optional<std::uint32_t> ElevationType() = 0;
  // ShellExecuteW(no owner, default verb, program, parameters, folder, SW_SHOWNORMAL).
  virtual void ShellOpen(const std::u16string& program, const std::u16string& parameters,
                         const std::u16string& folder) = 0;
  // Enables "SeIncreaseQuotaPrivilege" in our token; false when the token cannot be opened for
  // adjusting or the thread's last error afterwards is not zero.
  virtual bool EnableIncreaseQuotaPrivilege() = 0;
  // The desktop shell's window; nothing when there is none.
  virtual std::optional<std::uintptr_t> ShellWindow() = 0;
  // The identifier of the process that owns the window (0 for none).
  virtual std::uint32_t WindowProcessId(std::uintptr_t window) = 0;
  // Opens the process and makes a primary token from its token; kept until ReleaseShellToken.
  virtual bool DuplicateProcessToken(std::uint32_t pid) = 0;
  // Whether CreateProcessWithTokenW exists on this system.
  virtual bool CanCreateWithToken() = 0;
  // CreateProcessWithTokenW with the duplicated token; a missing command line is passed as none.
  virtual bool CreateWithToken(const std::u16string& program, const std::optional<std::u16string>& commandLine,
                               const std::u16string& folder) = 0;
  // Closes whatever DuplicateProcessToken opened.
  virtual void ReleaseShellToken() = 0;
};

inline constexpr std::uint32_t kTokenElevationTypeFull = 2;

void StartNonElevated(Launcher& launcher, const std::u16string& program, const std::u16string& parameters,
                      const std::u16string& folder);
bool LaunchAsDesktopUser(Launcher& launcher, const std::u16string& program, const std::u16string& parameters,
                         const std::u16string& folder);

}  // namespace norvex
