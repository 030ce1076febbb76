// Finds an instance of the tool that already runs and brings its dialog to the front.
#include "shell/other_instance.h"

#include <windows.h>
#include <lmcons.h>  // UNLEN

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

}  // namespace

bool ActivateOtherInstance() {
    // "Local\" is the logon session's namespace; the user name keeps another account
    // that runs the tool in the same session (Run as) from being taken for this one.
    char name[40 + UNLEN + 1] = "Local\\Varek Setup instance of ";
    DWORD length = UNLEN + 1;
    (void)::GetUserNameA(name + ::lstrlenA(name), &length);  // without it: one instance per session
    ::SetLastError(ERROR_SUCCESS);
    // The handle is never closed: the mutex marks this instance until the process ends.
    const HANDLE mutex = ::CreateMutexA(nullptr, FALSE, name);
    const DWORD error = ::GetLastError();
    // Access denied: the mutex exists but belongs to an elevated instance of the same user.
    if (!(mutex != nullptr && error == ERROR_ALREADY_EXISTS) && error != ERROR_ACCESS_DENIED) return false;

    if (HWND dialog = FindOtherDialog()) {
        if (::IsIconic(dialog)) ::ShowWindow(dialog, SW_RESTORE);
        // A box the dialog shows (help, About) is what the user was looking at.
        ::SetForegroundWindow(::GetLastActivePopup(dialog));
    }
    return true;
}
