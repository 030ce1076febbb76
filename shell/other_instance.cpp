// Finds an instance of the tool that already runs and brings its dialog to the front.
#include "shell/other_instance.h"

#include <windows.h>
#include <sddl.h>  // ConvertSidToStringSidA

#include "resources/setup_name.h"

namespace {

// How long a second launch waits for the first one's dialog, which may still be starting.
const DWORD kDialogWaitMs = 3000;
const DWORD kPollMs = 50;

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

// The instance's process id, beside the mutex under the mutex's name and a suffix: kernel
// objects of all types share one namespace. Never closed: it lives as long as the instance.
void PublishOwner(const char* ownerName) {
    const HANDLE mapping =
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD), ownerName);
    if (mapping == nullptr) return;
    if (DWORD* owner = static_cast<DWORD*>(::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(DWORD)))) {
        *owner = ::GetCurrentProcessId();
    }
}

// 0 until the instance has published its id.
DWORD OwnerProcessId(const char* ownerName) {
    DWORD owner = 0;
    if (HANDLE mapping = ::OpenFileMappingA(FILE_MAP_READ, FALSE, ownerName)) {
        const void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(DWORD));
        if (view != nullptr) {
            owner = *static_cast<const DWORD*>(view);
            ::UnmapViewOfFile(view);
        }
        ::CloseHandle(mapping);
    }
    return owner;
}

// Only the instance's own dialog: another account's (Run as) has the same class and
// caption. The failed-save box shares them too: it is the instance's face then.
HWND FindOwnerDialog(const char* ownerName) {
    for (DWORD waited = 0; waited < kDialogWaitMs; waited += kPollMs) {
        const DWORD owner = OwnerProcessId(ownerName);
        HWND w = nullptr;
        while (owner != 0 && (w = ::FindWindowExA(nullptr, w, "#32770", VAREK_SETUP_NAME)) != nullptr) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(w, &pid);
            if (pid == owner && ::IsWindowVisible(w)) return w;
        }
        ::Sleep(kPollMs);
    }
    return nullptr;
}

}  // namespace

bool ActivateOtherInstance() {
    char name[MAX_PATH];
    InstanceName(name);
    char ownerName[MAX_PATH + 16];
    ::wsprintfA(ownerName, "%s, process id", name);
    HANDLE mutex;
    if (AnotherHolds(name, &mutex)) {
        if (HWND dialog = FindOwnerDialog(ownerName)) {
            if (::IsIconic(dialog)) ::ShowWindow(dialog, SW_RESTORE);
            // A box the dialog shows (help, About) is what the user was looking at.
            ::SetForegroundWindow(::GetLastActivePopup(dialog));
            return true;
        }
        // No dialog came: the instance may have been ending when this launch began. Once
        // its process has gone, so has the mutex (this launch's handle closed), and this
        // launch is the instance.
        if (mutex != nullptr) ::CloseHandle(mutex);
        if (AnotherHolds(name, &mutex)) return true;
    }
    if (mutex != nullptr) PublishOwner(ownerName);
    return false;
}
