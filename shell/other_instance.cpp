// Becomes the instance, or finds the instance that already runs and brings its dialog to
// the front once it is up.
#include "shell/other_instance.h"

#include <sddl.h>  // ConvertSidToStringSidA

#include "dialog/instance_query.h"
#include "resources/setup_name.h"
#include "shell/failure_box.h"

namespace {

// How long a second launch waits for the instance to show its dialog, or to end. The
// instance owns the mutex before its slow start (DirectDraw's first enumeration alone may
// take seconds on a busy machine), so only one that shows nothing in this time is hung.
const DWORD kStartWaitMs = 60000;
// How long the dialog, once up, may take to answer, and one window at a time, so that a
// hung window holds the search up no longer.
const DWORD kDialogWaitMs = 3000;
const DWORD kAnswerMs = 500;
const DWORD kPollMs = 50;

const char kSessionNamespace[] = "Local\\";

// This process's handle to the mutex, which it owns once it is the instance.
HANDLE theInstanceMutex;
// A manual-reset event beside the mutex, set while the instance's dialog is up and changed
// by the owner of the mutex alone: a launch tells an instance that is still starting from
// one whose dialog does not answer.
HANDLE theDialogUp;

// "Local\" is this session's namespace, and each Remote Desktop session (each user's, under
// fast user switching) has its own: one instance per user in each session. The user's SID
// keeps another account that runs the tool in the same session (Run as) from being taken for
// this one, even one of the same name in another domain. Without a SID: one per session.
void InstanceName(char (&name)[MAX_PATH]) {
    ::lstrcpyA(name, kSessionNamespace);
    ::lstrcatA(name, "Varek Setup instance of ");
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

// True when this launch owns the mutex within waitMs: it is then the instance. A handle
// alone is not enough, since every waiting launch has one too. The mutex is created owned
// by the first launch; later ones wait for ownership, which passes to one waiter only when
// the instance lets go (EndInstance) or its process ends (abandoned). A mutex that may not
// be opened (ERROR_ACCESS_DENIED: an elevated instance of this user) counts as owned by
// another; any other failure makes this launch the instance: a second dialog is better
// than none.
bool OwnsMutex(const char* name, HANDLE* mutex, DWORD waitMs, DWORD* reason) {
    if (*mutex == nullptr) {
        ::SetLastError(ERROR_SUCCESS);
        *mutex = ::CreateMutexA(nullptr, TRUE, name);
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) return true;
        if (*mutex == nullptr) {
            *reason = error;
            ::Sleep(waitMs);
            return false;
        }
    }
    const DWORD got = ::WaitForSingleObject(*mutex, waitMs);
    return got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
}

// The tool's dialog of this user: the visible window of its class and caption that answers
// InstanceMessage() as it does. A decoy, another account's dialog and the failed-save box
// answer 0. *reason gets the system's error of a window that could not be asked.
HWND FindInstanceDialog(DWORD* reason) {
    HWND w = nullptr;
    while ((w = ::FindWindowExA(nullptr, w, "#32770", VAREK_SETUP_NAME)) != nullptr) {
        if (!::IsWindowVisible(w)) continue;
        DWORD_PTR answer = 0;
        if (!::SendMessageTimeoutA(w, InstanceMessage(), 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &answer)) {
            *reason = ::GetLastError();
        } else if (answer == static_cast<DWORD_PTR>(kInstanceAnswer)) {
            return w;
        }
    }
    return nullptr;
}

}  // namespace

UINT InstanceMessage() {
    static UINT message;
    if (message == 0) {
        char name[MAX_PATH];
        InstanceName(name);
        // The mutex's name without the namespace, which window messages do not have.
        message = ::RegisterWindowMessageA(name + sizeof kSessionNamespace - 1);
    }
    return message;
}

bool ActivateOtherInstance() {
    char name[MAX_PATH];
    InstanceName(name);
    char dialogUp[MAX_PATH + 8];
    ::wsprintfA(dialogUp, "%s dialog", name);
    DWORD reason = ERROR_TIMEOUT;  // no window answered, and the instance did not end
    const DWORD start = ::GetTickCount();
    DWORD upSince = start;
    for (DWORD waitMs = 0;; waitMs = kPollMs) {
        // Created unset by whichever launch comes first. One that may not be opened (an
        // elevated instance's) leaves the dialog counted as up: the launch then only asks.
        if (theDialogUp == nullptr) theDialogUp = ::CreateEventA(nullptr, TRUE, FALSE, dialogUp);
        if (OwnsMutex(name, &theInstanceMutex, waitMs, &reason)) break;
        const DWORD now = ::GetTickCount();
        if (::WaitForSingleObject(theDialogUp, 0) == WAIT_TIMEOUT) {
            upSince = now;
        } else if (HWND dialog = FindInstanceDialog(&reason)) {
            if (::IsIconic(dialog)) ::ShowWindow(dialog, SW_RESTORE);
            // A box the dialog shows (help, About) is what the user was looking at.
            ::SetForegroundWindow(::GetLastActivePopup(dialog));
            return true;
        }
        if (now - upSince >= kDialogWaitMs || now - start >= kStartWaitMs) {
            ReportFailure(VAREK_SETUP_NAME " is already running for this user and could not be brought to the front.",
                          reason);
            return true;
        }
    }
    // The instance from now on: its dialog is not up yet, whatever the last one left set.
    ::ResetEvent(theDialogUp);
    return false;
}

void InstanceDialogIsUp() { ::SetEvent(theDialogUp); }

void EndInstance() {
    if (theInstanceMutex == nullptr) return;
    ::ResetEvent(theDialogUp);  // before the next instance can own the mutex
    ::ReleaseMutex(theInstanceMutex);
    ::CloseHandle(theInstanceMutex);
    theInstanceMutex = nullptr;
}
