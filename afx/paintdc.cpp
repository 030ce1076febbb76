// CPaintDC: BeginPaint when made, EndPaint when destroyed.
#include "afx/afxwin.h"

CPaintDC::CPaintDC(CWnd* wnd) : m_hDC(nullptr), m_hWnd(wnd->m_hWnd), m_ps() {
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
