// The shell services through the Windows shell, the registry and kernel32.
#pragma once

#include "host_utilities.h"

namespace norvex::native {

class Win32HostShell final : public HostShell {
 public:
  bool IsWindows64() override;
  bool Open(const ShellRequest& request) override;
  bool OpenAndWait(const ShellRequest& request) override;
  std::optional<std::string> ShellLocalAppData() override;
  std::optional<std::string> RegistryLocalAppData() override;
};

}  // namespace norvex::native
