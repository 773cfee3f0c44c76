// The shipped library works on Windows itself.
#include "system_ports.h"

#include "win/setupapi_device_tree.h"
#include "win/win32_host_shell.h"

namespace norvex::native {

std::unique_ptr<const DeviceTree> SystemDeviceTree() { return std::make_unique<SetupApiDeviceTree>(); }
std::unique_ptr<HostShell> SystemHostShell() { return std::make_unique<Win32HostShell>(); }

}  // namespace norvex::native
