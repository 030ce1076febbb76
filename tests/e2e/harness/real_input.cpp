// xdotool is a Linux program: Wine starts Unix programs from CreateProcess but hands
// back no usable process handle, so the command writes its exit status to a file
// that we wait for.
#include "real_input.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "tool_process.h"

unsigned long XWindowOf(HWND hwnd) {
    return static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(GetPropA(hwnd, "__wine_x11_whole_window")));
}

namespace {
std::string SessionFolder() {
    const char* session = std::getenv("VAREK_WINE_SESSION");
    return session != nullptr ? session : "/tmp";
}
}  // namespace

bool Xdotool(const std::string& args, DWORD timeoutMs) {
    static int serial = 0;
    const std::string done = SessionFolder() + "/xdotool-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++serial) + ".rc";
    const std::string doneWindows = WindowsPath(done);
    DeleteFileA(doneWindows.c_str());
    std::string command = "/bin/sh -c \"xdotool " + args + " ; echo $? > '" + done + "'\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return false;
    }
    if (info.hThread != nullptr) CloseHandle(info.hThread);
    if (info.hProcess != nullptr) CloseHandle(info.hProcess);
    int status = -1;
    const bool finished = WaitUntil(
        [&] {
            FILE* file = std::fopen(doneWindows.c_str(), "r");
            if (file == nullptr) return false;
            const bool read = std::fscanf(file, "%d", &status) == 1;
            std::fclose(file);
            return read;
        },
        timeoutMs);
    if (!finished) ADD_FAILURE() << "xdotool " << args << " did not finish within " << timeoutMs << " ms";
    DeleteFileA(doneWindows.c_str());
    return status == 0;
}

bool PressKeys(HWND window, const std::string& keys) { return ActIn(window, "key --delay 20 " + keys); }

POINT CentreOf(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool ActIn(HWND window, const std::string& commands) {
    // A window is found as soon as it exists; X can focus it only once it is shown.
    if (!WaitUntil([&] { return IsWindowVisible(window) && XWindowOf(window) != 0; }, 5000)) {
        ADD_FAILURE() << "window " << window << " was not shown within 5 s";
        return false;
    }
    const std::string id = std::to_string(XWindowOf(window));
    // X delivers keys to its focus window, which need not be the one Wine thinks is in
    // front; and keys that arrive before Wine has made the window its foreground one
    // still go to the window that had it. So: focus through X, then wait for Wine.
    if (!Xdotool("windowfocus --sync " + id)) return false;
    if (!WaitUntil([&] { return GetForegroundWindow() == window; }, 3000)) {
        ADD_FAILURE() << "window " << window << " was not in front within 3 s of X focusing it";
        return false;
    }
    return Xdotool(commands);
}
