// The application framework the tool is written against: application object and
// entry, window objects, modal dialogs with data exchange, and painting. A thin
// layer over Win32 that holds only what the tool uses.
#pragma once

#include <windows.h>

#include "afx/afxmsgmap.h"
#include "afx/afxstr.h"

#define ID_HELP 0xE146  // 57670: the framework's standard help command

// Anything that can receive commands through a message map.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Runs the handler of the row for (WM_COMMAND, nCode, nID); false when no row matches.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first row of this object's map chain that matches, or null.
    const AFX_MSGMAP_ENTRY* FindEntry(UINT message, UINT code, UINT id) const;
};

// A window object: its handle, and for a window it subclassed, what its messages need.
// Objects of the tool's own windows are found through a short list kept in the process,
// never through a window property (a round trip to the window server under Wine).
class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    // The window object of a child control: only its handle, on the caller's stack,
    // null for an id with no control.
    CWnd GetDlgItem(int nID) const { return CWnd(::GetDlgItem(m_hWnd, nID)); }

    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }

protected:
    // Default processing of the message this window is handling now.
    LRESULT Default();

    // Takes over a window that exists: its messages come to this object from now on,
    // until the window is destroyed or this object goes. Refused, with nothing changed,
    // when this object has a window or the window an object already, and when the system
    // refuses (no such window, or another process's).
    bool SubclassCreatedWindow(HWND hWnd);

    DECLARE_MESSAGE_MAP()

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);

    static CWnd* FindSubclassed(HWND hWnd);  // null for a window no object has taken
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void Unsubclass();

    WNDPROC m_pfnSuper = nullptr;             // the window's own procedure, while subclassed
    CWnd* m_pNextSubclassed = nullptr;        // the next object in the list of subclassed windows
    const MSG* m_pCurrentMsg = nullptr;       // the message being handled, for Default()
};

// The context of one data exchange between a dialog and its data. The tool's one
// exchange reads the dialog in either direction, so the context carries nothing.
class CDataExchange {};

// A dialog made from a template in the module's resources and run modally, owned by no window.
class CDialog : public CWnd {
public:
    // No destructor of its own: DoModal destroys the window before it returns.
    explicit CDialog(UINT nIDTemplate);

    // 1 or 2 as the dialog ended (IDOK, IDCANCEL), -1 when it could not be run or its
    // window was destroyed before it ended.
    INT_PTR DoModal();
    void EndDialog(int nResult);
    BOOL ContinueModal() const { return !m_bEndModal; }  // false once EndDialog has been called
    void UpdateData();

    // The map's IDOK and IDCANCEL rows call these through the object: a dialog may override them.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL OnCmdMsg(UINT nID, int nCode) override;

    DECLARE_MESSAGE_MAP()

private:
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);

    void RunModalLoop();
    BOOL PreTranslateMessage(MSG* pMsg);
    LRESULT OnNcDestroy();

    UINT m_nIDTemplate;
    bool m_bEndModal = false;
    INT_PTR m_nModalResult = -1;
};

// The paint context of one WM_PAINT: painting begins when it is made and ends when it goes.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC();
    HDC m_hDC;

private:
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    HWND m_hWnd;
    PAINTSTRUCT m_ps;
};

// The application: the one static object of this class drives the process.
class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // Controls draw with the system's three-dimensional look on every Windows this
    // runs on, so there is nothing left to switch on.
    BOOL Enable3dControls() { return TRUE; }

    // The help command: shows m_pszHelpText in a small window owned by the main window.
    void OnHelp();
    // The most UTF-16 characters, its NUL included, that the help text may widen to: the
    // help box holds them on the stack.
    static constexpr int kHelpTextRoom = 1536;

    HINSTANCE m_hInstance;
    LPCSTR m_pszAppName;
    LPCSTR m_pszHelpText;  // what the help command shows, in UTF-8; the application sets it
    CWnd* m_pMainWnd;

    DECLARE_MESSAGE_MAP()

private:
    friend int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int);
    char m_defaultAppName[MAX_PATH];
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetResourceHandle();
// The module that holds the named resource: the application's own.
HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
