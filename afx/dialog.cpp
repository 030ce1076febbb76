// Modal dialogs: created from a template, run by a loop of their own until
// EndDialog, with "OK" running the data exchange and "Cancel" not.
#include "afx/afxwin.h"

namespace {

// Centres a dialog on the work area of the monitor that holds the pointer, where a user who
// has just started the tool is, or of the primary monitor when the pointer cannot be read.
// It runs before the dialog is first shown, so it appears in its place; one larger than the
// work area keeps its top-left corner, and so its caption, inside it. Moved onto a monitor of
// another DPI, the dialog is rescaled there by the system: a second move centres the size it
// has then. All of it is in the physical pixels a per-monitor aware process sees.
void CentreOnWorkArea(HWND hWnd) {
    POINT pointer;
    if (!::GetCursorPos(&pointer)) pointer = {0, 0};  // the primary monitor's top-left corner
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoA(::MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
    const RECT& work = monitor.rcWork;
    RECT window;
    for (int move = 0; move < 2 && ::GetWindowRect(hWnd, &window); ++move) {
        const LONG x = work.left + (work.right - work.left - (window.right - window.left)) / 2;
        const LONG y = work.top + (work.bottom - work.top - (window.bottom - window.top)) / 2;
        const LONG left = x > work.left ? x : work.left, top = y > work.top ? y : work.top;
        if (left == window.left && top == window.top) return;
        ::SetWindowPos(hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;  // everything else goes through AfxWndProc
    CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
    // A window the object refused (it runs one already) gets nothing of it: DoModal destroys it.
    if (!dialog->SubclassCreatedWindow(hWnd)) return FALSE;
    CentreOnWorkArea(hWnd);
    return dialog->OnInitDialog();
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate) {}

INT_PTR CDialog::DoModal() {
    LPCSTR name = MAKEINTRESOURCEA(m_nIDTemplate);
    HINSTANCE module = AfxFindResourceHandle(name, RT_DIALOG);
    HRSRC resource = ::FindResourceA(module, name, RT_DIALOG);
    HGLOBAL loaded = resource != nullptr ? ::LoadResource(module, resource) : nullptr;
    const void* dialogTemplate = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (dialogTemplate == nullptr) return -1;

    m_bEndModal = false;
    m_nModalResult = -1;
    HWND hWnd = ::CreateDialogIndirectParamA(module, static_cast<LPCDLGTEMPLATEA>(dialogTemplate), nullptr,
                                             &AfxDlgProc, reinterpret_cast<LPARAM>(this));
    if (hWnd == nullptr) return m_nModalResult;
    // The window goes before DoModal returns: one this object took once its loop has ended,
    // unless a handler destroyed it already, and one the object refused at once.
    const bool taken = m_hWnd == hWnd;
    if (taken) RunModalLoop();
    if (!taken || m_hWnd != nullptr) ::DestroyWindow(hWnd);
    return m_nModalResult;
}

void CDialog::RunModalLoop() {
    MSG msg;
    // A handler may destroy the window without ending the dialog: the loop ends then too.
    while (!m_bEndModal && m_hWnd != nullptr) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // A quit request, which another process may post, ends the run; post it again
            // for whoever runs the next loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!PreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    // F1 anywhere in the dialog asks for help through the help command.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F1 &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(ID_HELP, CN_COMMAND), 0);
        return TRUE;
    }
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bEndModal = true;
    // The request may arrive inside a message sent from another thread, which the
    // loop's GetMessage serves without returning: wake the loop so it sees the end.
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

// The window's last message. Destroyed before the dialog ended, it will get no message
// that wakes the loop, which may be waiting inside a message sent from another thread:
// a thread message wakes it, to find the window gone.
LRESULT CDialog::OnNcDestroy() {
    if (!m_bEndModal) ::PostThreadMessageA(::GetCurrentThreadId(), WM_NULL, 0, 0);
    return Default();
}

void CDialog::UpdateData() {
    CDataExchange dx;
    DoDataExchange(&dx);
}

BOOL CDialog::OnInitDialog() {
    UpdateData();
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    UpdateData();
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCmdMsg(UINT nID, int nCode) {
    // Commands the dialog does not handle go on to the application.
    if (CWnd::OnCmdMsg(nID, nCode)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(nID, nCode);
}
