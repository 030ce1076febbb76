// Window objects: the list of subclassed windows, the window procedure that feeds
// message maps, and default processing.
#include "afx/afxwin.h"

namespace {

// The objects of the windows this process subclassed, newest first: the tool has one.
CWnd* s_subclassed = nullptr;

// A system-menu command's row is found by its id without the low four bits, which the
// system uses itself; a command no row names (move, close, ...) gets default processing.
UINT SysCommandId(UINT message, WPARAM wParam) {
    return message == WM_SYSCOMMAND ? static_cast<UINT>(wParam & 0xFFF0) : 0;
}

}  // namespace

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::~CWnd() {
    if (m_pfnSuper != nullptr) Unsubclass();
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FindSubclassed(hWnd);
    if (wnd == nullptr) return ::DefWindowProcA(hWnd, message, wParam, lParam);
    return wnd->WindowProc(message, wParam, lParam);
}

CWnd* CWnd::FindSubclassed(HWND hWnd) {
    CWnd* wnd = s_subclassed;
    while (wnd != nullptr && wnd->m_hWnd != hWnd) wnd = wnd->m_pNextSubclassed;
    return wnd;
}

bool CWnd::SubclassCreatedWindow(HWND hWnd) {
    // A second object for a window would take AfxWndProc for the window's own procedure
    // and call it back without end; a second window for an object would link it twice.
    if (m_pfnSuper != nullptr || FindSubclassed(hWnd) != nullptr) return false;
    // Linked only once the window is taken: an object the system refused must not stay
    // in the list after it is gone.
    const LONG_PTR own = ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc));
    if (own == 0) return false;
    m_hWnd = hWnd;
    m_pfnSuper = reinterpret_cast<WNDPROC>(own);
    m_pNextSubclassed = s_subclassed;
    s_subclassed = this;
    return true;
}

void CWnd::Unsubclass() {
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    CWnd** link = &s_subclassed;
    while (*link != this) link = &(*link)->m_pNextSubclassed;
    *link = m_pNextSubclassed;
    m_pfnSuper = nullptr;
    m_pNextSubclassed = nullptr;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // A handler may send this window another message; Default() must then still see
    // the outer one when the inner one is done.
    const MSG current = {m_hWnd, message, wParam, lParam, 0, {0, 0}};
    const MSG* outer = m_pCurrentMsg;
    m_pCurrentMsg = &current;
    LRESULT result = 0;
    if (message == WM_COMMAND) {
        if (!OnCmdMsg(LOWORD(wParam), HIWORD(wParam))) result = DefWindowProc(message, wParam, lParam);
    } else if (const AFX_MSGMAP_ENTRY* entry = FindEntry(message, 0, SysCommandId(message, wParam))) {
        result = entry->pfn(this);
    } else {
        result = DefWindowProc(message, wParam, lParam);
    }
    m_pCurrentMsg = outer;

    if (message == WM_NCDESTROY) {
        // The window is gone: give it back its own procedure and unbind the object.
        Unsubclass();
        m_hWnd = nullptr;
    }
    return result;
}

LRESULT CWnd::Default() {
    if (m_pCurrentMsg == nullptr) return 0;
    return DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}
