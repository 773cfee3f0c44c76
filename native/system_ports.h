// Where the entry points get the system they work on: the shipped library builds these from
// Windows (win/system_ports.cpp); the host-side test build of the library from scripts.
#pragma once

#include <memory>

#include "device_tree.h"
#include "host_utilities.h"

namespace norvex::native {

std::unique_ptr<const DeviceTree> SystemDeviceTree();
std::unique_ptr<HostShell> SystemHostShell();

}  // namespace norvex::native
