// The choice between the shell and the desktop user's token, and the token path's steps.
#include "launch.h"

namespace norvex {

void StartNonElevated(Launcher& launcher, const std::u16string& program, const std::u16string& parameters,
                      const std::u16string& folder) {
  if (launcher.ElevationType() == kTokenElevationTypeFull) {
    // No fallback: a program we cannot start as the user is not started elevated instead.
    LaunchAsDesktopUser(launcher, program, parameters, folder);
  } else {
    launcher.ShellOpen(program, parameters, folder);
  }
}

bool LaunchAsDesktopUser(Launcher& launcher, const std::u16string& program, const std::u16string& parameters,
                         const std::u16string& folder) {
  if (!launcher.EnableIncreaseQuotaPrivilege()) return false;
  const auto window = launcher.ShellWindow();
  if (!window) return false;
  const std::uint32_t pid = launcher.WindowProcessId(*window);
  if (pid == 0) return false;
  bool started = false;
  if (launcher.DuplicateProcessToken(pid) && launcher.CanCreateWithToken()) {
    // The parameters are the whole command line; empty ones are passed as none, so the
    // program's path serves as its command line.
    const auto commandLine = parameters.empty() ? std::nullopt : std::optional<std::u16string>(parameters);
    started = launcher.CreateWithToken(program, commandLine, folder);
  }
  launcher.ReleaseShellToken();
  return started;
}

}  // namespace norvex
