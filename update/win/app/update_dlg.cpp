// The progress window and its outcome handlers.
#include "update_dlg.h"

#include <commctrl.h>

#include "resource.h"
#include "update_app.h"
#include "worker.h"

namespace norvex::update {
namespace {

// The cell the worker thread receives: filled by OnInitDialog before the thread starts.
CupdateDlg* theThreadCell = nullptr;

}  // namespace

CupdateDlg::CupdateDlg()
    : win::Dialog(IDD_UPDATE_DIALOG), m_hIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

BOOL CupdateDlg::OnInitDialog() {
  m_progress = ::GetDlgItem(hwnd(), IDC_UPDATE_PROGRESS);
  ::SetDlgItemTextW(hwnd(), IDC_UPDATE_STATUS, win::W(m_strStatus));
  if (HMENU menu = ::GetSystemMenu(hwnd(), FALSE)) {
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
  }
  SetProgramIcon(m_hIcon);
  theThreadCell = this;
  if (HANDLE thread = ::CreateThread(nullptr, 0, &UpdateWorkerThread, &theThreadCell, 0, nullptr)) ::CloseHandle(thread);
  return TRUE;
}

bool CupdateDlg::PreTranslateMessage(MSG& msg) {
  // Escape and Enter would otherwise reach the dialog manager as Cancel and OK.
  return msg.message == WM_KEYDOWN && (msg.wParam == VK_ESCAPE || msg.wParam == VK_RETURN);
}

INT_PTR CupdateDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  switch (message) {
    case WM_SYSCOMMAND:
      // The close box and Alt+F4: the window stays until an outcome closes it.
      handled = (wParam & 0xFFF0) == SC_CLOSE;
      return 0;
    case WM_COMMAND:
      // OK and Cancel from the dialog manager close nothing either.
      handled = LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL;
      return 0;
    case WM_UPDATE_FAILED:
      OnUpdateFailed(Context(), *reinterpret_cast<const std::u16string*>(lParam));
      EndDialog(IDOK);
      return 0;
    case WM_UPDATE_DONE:
      OnUpdateDone(Context(), reinterpret_cast<const UpdateDoneInfo*>(lParam)->m_bSelfUpdate);
      EndDialog(IDOK);
      return 0;
    case WM_UPDATE_RESTORE:
      OnUpdateRestore(Context(), *reinterpret_cast<const RestoreTexts*>(lParam));
      EndDialog(IDOK);
      return 0;
    default:
      handled = false;
      return 0;
  }
}

OutcomeContext CupdateDlg::Context() {
  CupdateApp& app = CupdateApp::Instance();
  return OutcomeContext{app.settings(), app.upgradeInfo(), *this, app.launcher(), app.registryWriter(),
                        app.selfReplaceStarter()};
}

void CupdateDlg::SetTitle(const std::u16string& title) { ::SetWindowTextW(hwnd(), win::W(title)); }

void CupdateDlg::SetStatus(const std::u16string& status) { m_strStatus = status; }

void CupdateDlg::SetPosition(int position) {
  ::SendMessageW(m_progress, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  ::SetDlgItemTextW(hwnd(), IDC_UPDATE_STATUS, win::W(m_strStatus));
}

void CupdateDlg::UpdateFailed(const std::u16string& text) {
  ::SendMessageW(hwnd(), WM_UPDATE_FAILED, 0, reinterpret_cast<LPARAM>(&text));
}

void CupdateDlg::UpdateDone(bool selfUpdate) {
  UpdateDoneInfo info{selfUpdate};
  ::SendMessageW(hwnd(), WM_UPDATE_DONE, 0, reinterpret_cast<LPARAM>(&info));
}

void CupdateDlg::UpdateRestore(const RestoreTexts& texts) {
  ::SendMessageW(hwnd(), WM_UPDATE_RESTORE, 0, reinterpret_cast<LPARAM>(&texts));
}

Answer CupdateDlg::Ask(const std::u16string& text, Buttons buttons) {
  const UINT type = (buttons == Buttons::Ok ? MB_OK : MB_OKCANCEL) | MB_ICONEXCLAMATION;
  const int answer = ::MessageBoxW(hwnd(), win::W(text), win::W(CupdateApp::Instance().name()), type);
  return answer == IDOK ? Answer::Ok : Answer::Cancel;
}

DWORD WINAPI UpdateWorkerThread(LPVOID cell) {
  CupdateDlg& dialog = **static_cast<CupdateDlg**>(cell);
  CupdateApp& app = CupdateApp::Instance();
  try {
    UpdateWorker(app.settings(), app.upgradeInfo(), dialog, app.texts());
  } catch (...) {
    // Nothing may cross the thread's edge; an unexpected failure still ends the run with a
    // restore, which is harmless when nothing was changed, so the window can close.
    const UpdateTexts texts = ChooseTexts(app.texts(), app.settings().m_nLanguage);
    dialog.UpdateRestore(RestoreTexts{texts.restoring, texts.restored});
  }
  return 0;
}

}  // namespace norvex::update
