// The helper program: one hidden window per session, guarded by a named mutex.
#pragma once

#include <string>

#include "win/windows_api.h"

namespace norvex::helper {

class Cnorvextool_helperApp {
 public:
  Cnorvextool_helperApp();
  static Cnorvextool_helperApp& Instance();

  // The whole program; returns FALSE so that it ends when the window closes.
  BOOL InitInstance();

  // The executable's name without extension, the caption of the helper's message box.
  const std::u16string& name() const { return name_; }
  const std::u16string& modulePath() const { return modulePath_; }

 private:
  std::u16string modulePath_;
  std::u16string name_;
};

}  // namespace norvex::helper
