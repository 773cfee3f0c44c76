// The real WindowList: top-level windows by EnumWindows, brought forward with the user32 calls.
#pragma once

#include "suite.h"

namespace norvex::helper::win {

class Win32WindowList final : public WindowList {
 public:
  std::vector<TopLevelWindow> TopLevelWindows() override;
  void Restore(std::uintptr_t window) override;
  void MakeForeground(std::uintptr_t window) override;
  void BringToTop(std::uintptr_t window) override;
};

}  // namespace norvex::helper::win
