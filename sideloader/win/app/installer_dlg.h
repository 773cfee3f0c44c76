// The installer window: the package's picture, name, version, size and minimum release, its
// sensitive permissions (the list also takes dropped packages), the status line, and the
// install, launch and close buttons. It is also the install flow's view: the worker sets the
// status line, the install button and its message boxes from its own thread.
#pragma once

#include <atomic>
#include <string>

#include "install_flow.h"
#include "win/dialog.h"
#include "win/windows_api.h"
// After <windows.h>, which it needs.
#include <shellapi.h>

namespace norvex::sideloader {

class CInstallerDlg final : public norvex::win::Dialog, public InstallerView {
 public:
  CInstallerDlg();
  ~CInstallerDlg() override;

  void SetStatus(const std::u16string& text) override;
  void EnableInstall(bool enabled) override;
  void ShowPrompt(const std::u16string& text) override;

 protected:
  BOOL OnInitDialog() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  static LRESULT CALLBACK ListFilter(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
  void RefreshTexts();
  void OnPaint();
  void OnDropFiles(HDROP drop);
  void OnInstall();
  void OnLaunchSuite();

  HICON m_hIcon;
  HFONT m_nameFont = nullptr;
  // Set by a click that starts an installation, cleared when the flow enables the button again.
  std::atomic<bool> m_bInstalling{false};
};

}  // namespace norvex::sideloader
