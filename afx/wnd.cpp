// Window objects: the handle map, the window procedure that feeds message maps,
// and default processing.
#include "afx/afxwin.h"

#include <new>

#include "afx/afxheap.h"

namespace {

// Window objects made for handles the tool did not create itself (dialog controls).
// They live as long as the process, like the controls' ids do.
struct HandleMapNode {
    CWnd wnd;
    HandleMapNode* next;
};
HandleMapNode* s_handleMap = nullptr;

// Stands in for a handle that has no window object and none can be made: its
// null handle makes every message sent through it a harmless no-op.
CWnd s_nullWnd;

// The message being handled now, for Default().
struct CurrentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
CurrentMessage s_current = {0, 0, 0};

const char kWndProp[] = "AfxWnd";

}  // namespace

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr) {}

CWnd::~CWnd() {
    if (m_hWnd != nullptr && m_pfnSuper != nullptr) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        ::RemovePropA(m_hWnd, kWndProp);
    }
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr) return &s_nullWnd;
    // The map first: it is in this process, while a window property is a round trip to
    // the window server.
    for (HandleMapNode* node = s_handleMap; node != nullptr; node = node->next) {
        if (node->wnd.m_hWnd == hWnd) return &node->wnd;
    }
    if (CWnd* own = static_cast<CWnd*>(::GetPropA(hWnd, kWndProp))) return own;
    void* block = AfxAllocate(sizeof(HandleMapNode));
    if (block == nullptr) return &s_nullWnd;
    HandleMapNode* node = new (block) HandleMapNode();
    node->wnd.m_hWnd = hWnd;
    node->next = s_handleMap;
    s_handleMap = node;
    return &node->wnd;
}

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = static_cast<CWnd*>(::GetPropA(hWnd, kWndProp));
    if (wnd == nullptr) return ::DefWindowProcA(hWnd, message, wParam, lParam);

    const CurrentMessage outer = s_current;
    s_current = {message, wParam, lParam};
    LRESULT result = 0;
    if (!wnd->OnWndMsg(message, wParam, lParam, &result)) result = wnd->DefWindowProc(message, wParam, lParam);
    s_current = outer;

    if (message == WM_NCDESTROY) {
        // The window is gone: give it back its own procedure and unbind the object.
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wnd->m_pfnSuper));
        ::RemovePropA(hWnd, kWndProp);
        wnd->m_pfnSuper = nullptr;
        wnd->m_hWnd = nullptr;
    }
    return result;
}

void CWnd::SubclassCreatedWindow(HWND hWnd) {
    m_hWnd = hWnd;
    ::SetPropA(hWnd, kWndProp, this);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
}

LRESULT CWnd::Default() { return DefWindowProc(s_current.message, s_current.wParam, s_current.lParam); }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) { return OnCmdMsg(LOWORD(wParam), HIWORD(wParam)); }

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    *result = 0;
    if (message == WM_COMMAND) return OnCommand(wParam, lParam);

    const AFX_MSGMAP_ENTRY* entry = FindEntry(message, 0, 0);
    if (entry == nullptr) return FALSE;
    switch (entry->nSig) {
    case AfxSig_vv:
        (this->*entry->pfn)();
        return TRUE;
    case AfxSig_hv: {
        // The row stored the handler under the common pointer type; this is its real type.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
        HCURSOR (CWnd::*handler)() = reinterpret_cast<HCURSOR (CWnd::*)()>(entry->pfn);
#pragma GCC diagnostic pop
        *result = reinterpret_cast<LRESULT>((this->*handler)());
        return TRUE;
    }
    default:
        return FALSE;
    }
}
