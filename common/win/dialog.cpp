// The modal loop and the window procedure that routes messages to the Dialog object.
#include "win/dialog.h"

namespace norvex::win {

INT_PTR Dialog::RunModal(HWND owner) {
  hwnd_ = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, &Dialog::Procedure,
                               reinterpret_cast<LPARAM>(this));
  if (hwnd_ == nullptr) return -1;
  if (owner) ::EnableWindow(owner, FALSE);
  MSG msg;
  while (!ended_) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave WM_QUIT for an outer loop
      break;
    }
    if (got < 0) break;
    if (PreTranslateMessage(msg)) continue;
    if (!::IsDialogMessageW(hwnd_, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  if (owner) ::EnableWindow(owner, TRUE);
  ::DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  return result_;
}

void Dialog::EndDialog(INT_PTR result) {
  result_ = result;
  ended_ = true;
  ::PostMessageW(hwnd_, WM_NULL, 0, 0);  // wakes the loop if we were called from another thread's send
}

INT_PTR Dialog::OnMessage(UINT, WPARAM, LPARAM, bool&) { return 0; }

void Dialog::SetProgramIcon(HICON icon) {
  icon_ = icon;
  ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void Dialog::PaintMinimizedIcon() {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(hwnd_, &paint);
  ::SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  ::GetClientRect(hwnd_, &client);
  const int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
  ::DrawIcon(dc, (client.right - client.left - cx + 1) / 2, (client.bottom - client.top - cy + 1) / 2, icon_);
  ::EndPaint(hwnd_, &paint);
}

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
  } else {
    self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (self == nullptr) return FALSE;
  if (message == WM_INITDIALOG) return self->OnInitDialog();
  if (self->icon_ && message == WM_PAINT && ::IsIconic(hwnd)) {
    self->PaintMinimizedIcon();
    return TRUE;
  }
  if (self->icon_ && message == WM_QUERYDRAGICON) {
    ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(self->icon_));
    return TRUE;
  }
  bool handled = false;
  const INT_PTR result = self->OnMessage(message, wParam, lParam, handled);
  if (!handled) return FALSE;
  ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace norvex::win
