// A thin modal dialog from a resource template, with a message loop of our own so that a
// dialog can look at keyboard messages before the dialog manager turns them into commands
// (Escape into IDCANCEL, Enter into IDOK).
#pragma once

#include "win/windows_api.h"

namespace norvex::win {

class Dialog {
 public:
  explicit Dialog(int templateId) : templateId_(templateId) {}
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Creates the dialog, runs its loop until EndDialog, destroys it; returns EndDialog's result.
  INT_PTR RunModal(HWND owner = nullptr);
  HWND hwnd() const { return hwnd_; }

 protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  // Returns true when the message was taken and must not be dispatched.
  virtual bool PreTranslateMessage(MSG&) { return false; }
  // Handles a message; sets `handled` when it did. The return value is the dialog result.
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  void EndDialog(INT_PTR result);
  // Gives the dialog its program icon: set as big and small icon, drawn centred while the
  // dialog is minimised and returned as its drag icon. Call from OnInitDialog.
  void SetProgramIcon(HICON icon);

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Paints a minimised dialog: the icon centred in the client area on its erased background.
  void PaintMinimizedIcon();

  int templateId_;
  HWND hwnd_ = nullptr;
  HICON icon_ = nullptr;
  bool ended_ = false;
  INT_PTR result_ = 0;
};

}  // namespace norvex::win
