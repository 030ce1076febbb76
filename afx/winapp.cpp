// The application object, the framework's entry and the help command.
#include <cstring>

#include "afx/afxwin.h"

namespace {
CWinApp* s_app = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_hInstance(nullptr),
      m_pszAppName(lpszAppName),
      m_pszHelpText(nullptr),
      m_pMainWnd(nullptr),
      m_defaultAppName() {
    s_app = this;
}

CWinApp::~CWinApp() {
    if (s_app == this) s_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

// The box is shown in UTF-16: a text beyond ASCII passed through the ANSI code page would
// read right only where that code page happens to hold its characters.
void CWinApp::OnHelp() {
    if (m_pszHelpText == nullptr) return;
    // The box is named after the window it explains, not after the program file, which
    // the user may have renamed to anything.
    HWND owner = m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr;
    WCHAR caption[MAX_PATH + 8];
    int named = owner != nullptr ? ::GetWindowTextW(owner, caption, MAX_PATH) : 0;
    if (named == 0) {
        named = ::MultiByteToWideChar(CP_ACP, 0, m_pszAppName != nullptr ? m_pszAppName : "", -1, caption, MAX_PATH);
        named = named > 0 ? named - 1 : 0;
    }
    std::memcpy(caption + named, L" Help", sizeof L" Help");
    WCHAR text[kHelpTextRoom];
    if (::MultiByteToWideChar(CP_UTF8, 0, m_pszHelpText, -1, text, kHelpTextRoom) == 0) return;
    ::MessageBoxW(owner, text, caption, MB_OK | MB_ICONINFORMATION);
}

CWinApp* AfxGetApp() { return s_app; }

HINSTANCE AfxGetResourceHandle() { return s_app != nullptr ? s_app->m_hInstance : ::GetModuleHandleA(nullptr); }

HINSTANCE AfxFindResourceHandle(LPCSTR, LPCSTR) { return AfxGetResourceHandle(); }

// The command line and show command are not used: the dialog's template says how it shows.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return -1;
    app->m_hInstance = hInstance;
    if (app->m_pszAppName == nullptr) {
        // With no name given, the application is named after its program file.
        char path[MAX_PATH];
        const DWORD length = ::GetModuleFileNameA(hInstance, path, MAX_PATH);
        path[length < MAX_PATH ? length : MAX_PATH - 1] = '\0';
        const char* base = path;
        for (const char* p = path; *p != '\0'; ++p) {
            if (*p == '\\' || *p == '/') base = p + 1;
        }
        ::lstrcpynA(app->m_defaultAppName, base, MAX_PATH);
        if (char* dot = std::strrchr(app->m_defaultAppName, '.')) *dot = '\0';
        app->m_pszAppName = app->m_defaultAppName;
    }
    // Applications on this framework do their whole run inside InitInstance and
    // return false from it; no message loop follows.
    (void)app->InitInstance();
    return app->ExitInstance();
}
