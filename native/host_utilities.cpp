// The decisions around the shell services; the calls themselves live behind HostShell.
#include "host_utilities.h"

namespace norvex::native {

bool ShellExecuteFile(HostShell& shell, const std::optional<ShellRequest>& request, bool wait) {
  if (!request) return false;
  return wait ? shell.OpenAndWait(*request) : shell.Open(*request);
}

std::string CurrentLocalAppFolder(HostShell& shell) {
  if (std::optional<std::string> folder = shell.ShellLocalAppData()) return *folder;
  std::optional<std::string> folder = shell.RegistryLocalAppData();
  return folder && !folder->empty() ? *folder : std::string();
}

}  // namespace norvex::native
