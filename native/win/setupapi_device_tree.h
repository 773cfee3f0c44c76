// The present devices as Windows' SetupAPI and configuration manager report them.
#pragma once

#include "device_tree.h"

namespace norvex::native {

class SetupApiDeviceTree final : public DeviceTree {
 public:
  std::unique_ptr<DeviceSet> OpenPresent() const override;
};

}  // namespace norvex::native
