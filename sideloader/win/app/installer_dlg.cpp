// The installer window's handlers; the texts and the drop's effect on the package record come
// from window_texts, the install steps from the install flow.
#include "installer_dlg.h"

#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>

#include <vector>

#include "installer_app.h"
#include "package_icon.h"
#include "resource.h"
#include "rich_text_box.h"
#include "window_texts.h"

namespace norvex::sideloader {
namespace {

constexpr wchar_t kPromptCaption[] = L"提示信息";
constexpr wchar_t kNameFontFace[] = L"宋体 ";
constexpr int kIconOffsetX = 7;
constexpr UINT_PTR kListFilterId = 1;

CPackageInfo& Package() { return CInstallerApp::Instance().package(); }

std::vector<std::u16string> DroppedFiles(HDROP drop) {
  std::vector<std::u16string> files;
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    // The whole path: a path cut to a buffer's length could name another file.
    std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    files.push_back(norvex::win::ToU16(path.c_str()));
  }
  return files;
}

}  // namespace

CInstallerDlg::CInstallerDlg()
    : norvex::win::Dialog(IDD_INSTALLER_DIALOG),
      m_hIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

CInstallerDlg::~CInstallerDlg() {
  if (m_nameFont) ::DeleteObject(m_nameFont);
}

BOOL CInstallerDlg::OnInitDialog() {
  SetProgramIcon(m_hIcon);
  HWND list = ::GetDlgItem(hwnd(), IDC_PERMISSIONS);
  ::DragAcceptFiles(list, TRUE);
  ::SendMessageW(list, EM_SETEVENTMASK, 0, ENM_DROPFILES);
  ::SetWindowSubclass(list, &CInstallerDlg::ListFilter, kListFilterId, reinterpret_cast<DWORD_PTR>(this));
  CInstallerApp::Instance().messages().SetOwner(hwnd());
  RefreshTexts();
  CInstallerApp::Instance().view().pDialog = this;
  return TRUE;
}

// The list never takes the focus (so it shows no caret), and dropped files reach the dialog
// from here: Wine's rich edit does not turn WM_DROPFILES into EN_DROPFILES, and taking the
// message before the control sees it behaves the same on Windows.
LRESULT CALLBACK CInstallerDlg::ListFilter(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR self) {
  if (message == WM_SETFOCUS) return 0;
  if (message == WM_DROPFILES) {
    reinterpret_cast<CInstallerDlg*>(self)->OnDropFiles(reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(list, &CInstallerDlg::ListFilter, kListFilterId);
  return ::DefSubclassProc(list, message, wParam, lParam);
}

INT_PTR CInstallerDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, bool& handled) {
  handled = true;
  if (message == WM_PAINT) {
    OnPaint();
    return 0;
  }
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    switch (LOWORD(wParam)) {
      case IDC_INSTALL:
        OnInstall();
        return 0;
      case IDC_LAUNCH_SUITE:
        OnLaunchSuite();
        return 0;
      case IDC_CLOSE:
      case IDOK:
      case IDCANCEL:  // Escape and the close box
        EndDialog(LOWORD(wParam));
        return 0;
      default:
        break;
    }
  }
  handled = false;
  return 0;
}

void CInstallerDlg::RefreshTexts() {
  const WindowTexts texts = ComposeWindowTexts(Package());
  HWND dialog = hwnd();
  if (texts.name) ::SetDlgItemTextW(dialog, IDC_APP_NAME, norvex::win::W(*texts.name));
  ::SetDlgItemTextW(dialog, IDC_APP_VERSION, norvex::win::W(texts.version));
  ::SetDlgItemTextW(dialog, IDC_APP_MINIMUM, norvex::win::W(texts.minimum));
  ::SetDlgItemTextW(dialog, IDC_LIST_HEADING, norvex::win::W(texts.heading));
  HWND list = ::GetDlgItem(dialog, IDC_PERMISSIONS);
  StreamRichText(list, texts.listIsRich ? RichTextForStream(texts.list) : PlainTextForStream(texts.list));
  ::SendMessageW(list, EM_SETSEL, 0, 1);
  ::HideCaret(list);
  ::SetDlgItemTextW(dialog, IDC_STATUS, norvex::win::W(texts.status));
  ::SetDlgItemTextW(dialog, IDC_INSTALL, L"安装");
  ::EnableWindow(::GetDlgItem(dialog, IDC_INSTALL), texts.installEnabled);
}

void CInstallerDlg::OnPaint() {
  HWND dialog = hwnd();
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(dialog, &paint);
  RECT anchor;
  ::GetWindowRect(::GetDlgItem(dialog, IDC_ICON_ANCHOR), &anchor);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&anchor), 2);
  DrawPackageIcon(dc, anchor.left + kIconOffsetX, anchor.top, Package());
  ::EndPaint(dialog, &paint);

  ::SetFocus(::GetDlgItem(dialog, IDC_APP_NAME));
  HFONT font =
      ::CreateFontW(NameFontHeight(Package().m_strDisplayName), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN, kNameFontFace);
  ::SendDlgItemMessageW(dialog, IDC_APP_NAME, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (m_nameFont) ::DeleteObject(m_nameFont);
  m_nameFont = font;
}

void CInstallerDlg::OnDropFiles(HDROP drop) {
  const std::vector<std::u16string> files = DroppedFiles(drop);
  ::DragFinish(drop);
  if (!ReceiveDrop(Package(), files, m_bInstalling, CInstallerApp::Instance().inspection())) return;
  RefreshTexts();
  ::InvalidateRect(hwnd(), nullptr, TRUE);
  ::UpdateWindow(hwnd());
}

void CInstallerDlg::OnInstall() {
  if (!IsLoaded(Package())) return;
  m_bInstalling = true;
  CInstallerApp::Instance().installer().OnInstall();
}

void CInstallerDlg::OnLaunchSuite() {
  const std::u16string& folder = Package().m_strAppFolder;
  ::ShellExecuteW(hwnd(), L"open", norvex::win::W(folder + u"VantrelZURadu.exe"), nullptr, norvex::win::W(folder),
                  SW_SHOWNORMAL);
}

void CInstallerDlg::SetStatus(const std::u16string& text) {
  ::SetDlgItemTextW(hwnd(), IDC_STATUS, norvex::win::W(text));
}

void CInstallerDlg::EnableInstall(bool enabled) {
  if (enabled) m_bInstalling = false;
  ::EnableWindow(::GetDlgItem(hwnd(), IDC_INSTALL), enabled);
}

void CInstallerDlg::ShowPrompt(const std::u16string& text) {
  ::MessageBoxW(hwnd(), norvex::win::W(text), kPromptCaption, MB_OK);
}

}  // namespace norvex::sideloader
