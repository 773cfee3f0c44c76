// The helper's hidden window: it exists to receive device-interface arrivals and hands each
// one to the arrival check.
#pragma once

#include "watch.h"
#include "win/dialog.h"

namespace norvex::helper {

class Cnorvextool_helperDlg final : public norvex::win::Dialog, private HelperWindowData {
 public:
  Cnorvextool_helperDlg();

 protected:
  BOOL OnInitDialog() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  BOOL OnDeviceChange(UINT event, LPARAM data);

  HICON m_hIcon;
};

}  // namespace norvex::helper
