// The progress window: status line and bar while the worker runs, then the outcome handling.
// It refuses to be closed by the user; only an outcome handler closes it.
#pragma once

#include <string>

#include "outcome.h"
#include "update_view.h"
#include "win/dialog.h"

namespace norvex::update {

constexpr UINT WM_UPDATE_FAILED = WM_USER + 1;
constexpr UINT WM_UPDATE_DONE = WM_USER + 2;
constexpr UINT WM_UPDATE_RESTORE = WM_USER + 3;

struct UpdateDoneInfo {
  bool m_bSelfUpdate;
};

class CupdateDlg final : public win::Dialog, public UpdateView, public OutcomeWindow {
 public:
  CupdateDlg();

  // The worker's view, called from the worker thread.
  void SetTitle(const std::u16string& title) override;
  void SetStatus(const std::u16string& status) override;
  void SetPosition(int position) override;
  void UpdateFailed(const std::u16string& text) override;
  void UpdateDone(bool selfUpdate) override;
  void UpdateRestore(const RestoreTexts& texts) override;

  // The outcome handlers' window, on the UI thread.
  Answer Ask(const std::u16string& text, Buttons buttons) override;

 protected:
  BOOL OnInitDialog() override;
  bool PreTranslateMessage(MSG& msg) override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  OutcomeContext Context();

  std::u16string m_strStatus;
  HWND m_progress = nullptr;
  HICON m_hIcon;
};

// The worker thread's procedure; its parameter is the address of the cell holding the dialog.
DWORD WINAPI UpdateWorkerThread(LPVOID cell);

}  // namespace norvex::update
