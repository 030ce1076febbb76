// Finds an instance of the tool that already runs and brings its dialog to the front.
#include "shell/other_instance.h"

#include <windows.h>
#include <sddl.h>  // ConvertSidToStringSidA

namespace {

// How long a second launch waits for the first one's dialog, which may still be starting.
const DWORD kDialogWaitMs = 3000;
const DWORD kPollMs = 50;

BOOL CALLBACK MatchDialog(HWND hWnd, LPARAM lParam) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    char name[16] = "";
    char caption[16] = "";
    // The failed-save box shares class and caption: it is the other instance's face then.
    if (pid == ::GetCurrentProcessId() || !::IsWindowVisible(hWnd) || !::GetClassNameA(hWnd, name, sizeof name) ||
        ::lstrcmpA(name, "#32770") != 0 || !::GetWindowTextA(hWnd, caption, sizeof caption) ||
        ::lstrcmpA(caption, "Varek Setup") != 0) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}

HWND FindOtherDialog() {
    HWND found = nullptr;
    for (DWORD waited = 0; found == nullptr && waited < kDialogWaitMs; waited += kPollMs) {
        ::EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&found));
        if (found == nullptr) ::Sleep(kPollMs);
    }
    return found;
}

// "Local\" is the logon session's namespace; the user's SID keeps another account that
// runs the tool in the same session (Run as) from being taken for this one, even one of
// the same name in another domain. Without a SID: one instance per session.
void InstanceName(char (&name)[MAX_PATH]) {
    ::lstrcpyA(name, "Local\\Varek Setup instance of ");
    HANDLE token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return;
    union {
        TOKEN_USER user;
        BYTE room[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } info;
    DWORD size;
    char* sid;
    if (::GetTokenInformation(token, TokenUser, &info, sizeof info, &size) &&
        ::ConvertSidToStringSidA(info.user.User.Sid, &sid)) {
        ::lstrcpynA(name + ::lstrlenA(name), sid, MAX_PATH - ::lstrlenA(name));
        ::LocalFree(sid);
    }
    ::CloseHandle(token);
}

// True when another instance holds the mutex, or when it exists but may not be opened:
// ERROR_ACCESS_DENIED, an elevated instance of the same user. Any other failure lets this
// launch run: a second dialog is better than none. The instance never closes its handle:
// the mutex marks it until its process ends.
bool AnotherHolds(const char* name, HANDLE* mutex) {
    ::SetLastError(ERROR_SUCCESS);
    *mutex = ::CreateMutexA(nullptr, FALSE, name);
    const DWORD error = ::GetLastError();
    return (*mutex != nullptr && error == ERROR_ALREADY_EXISTS) || error == ERROR_ACCESS_DENIED;
}

}  // namespace

bool ActivateOtherInstance() {
    char name[MAX_PATH];
    InstanceName(name);
    HANDLE mutex;
    if (!AnotherHolds(name, &mutex)) return false;

    if (HWND dialog = FindOtherDialog()) {
        if (::IsIconic(dialog)) ::ShowWindow(dialog, SW_RESTORE);
        // A box the dialog shows (help, About) is what the user was looking at.
        ::SetForegroundWindow(::GetLastActivePopup(dialog));
        return true;
    }
    // No dialog came: the instance may have been ending when this launch began. Once
    // its process has gone, so has the mutex (this launch's handle closed), and this
    // launch is the instance.
    if (mutex != nullptr) ::CloseHandle(mutex);
    return AnotherHolds(name, &mutex);
}
