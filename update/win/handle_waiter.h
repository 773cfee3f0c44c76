// The real HandleWaiter: WaitForSingleObject without a time limit, then CloseHandle.
#pragma once

#include "settings.h"

namespace norvex::update {

class Win32HandleWaiter final : public HandleWaiter {
 public:
  void WaitAndClose(std::intptr_t handle) override;
};

}  // namespace norvex::update
