// Starting the tool with an environment of the test's choosing, and waiting on it.
#include "tool_process.h"

#include <cstdlib>
#include <cstring>

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string result = "Z:" + path;
    for (char& c : result) {
        if (c == '/') c = '\\';
    }
    return result;
}

std::string ToolExePath() {
    const char* exe = std::getenv("VAREK_EXE");
    return WindowsPath(exe != nullptr ? exe : "");
}

ToolProcess::~ToolProcess() {
    if (m_process == nullptr) return;
    if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
}

bool ToolProcess::Start(const std::string& exePath, const std::vector<std::string>& extraEnvironment) {
    // The child's environment: ours, with the extra entries added or replacing ours.
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=', 1)); };
    std::string block;
    char* own = GetEnvironmentStringsA();
    for (const char* entry = own; *entry != '\0'; entry += std::strlen(entry) + 1) {
        bool replaced = false;
        for (const std::string& extra : extraEnvironment) replaced = replaced || nameOf(extra) == nameOf(entry);
        if (!replaced) block.append(entry).push_back('\0');
    }
    FreeEnvironmentStringsA(own);
    for (const std::string& entry : extraEnvironment) block.append(entry).push_back('\0');
    block.push_back('\0');

    std::string commandLine = "\"" + exePath + "\"";
    std::string directory = exePath.substr(0, exePath.find_last_of('\\'));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, &block[0],
                        directory.c_str(), &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_pid = info.dwProcessId;
    return true;
}

namespace {
struct WindowSearch {
    DWORD pid;
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid) return TRUE;
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    char text[128] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    if (std::strcmp(name, search->className) == 0 && std::strcmp(text, search->caption) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindProcessWindow(DWORD pid, const char* className, const char* caption) {
    WindowSearch search = {pid, className, caption, nullptr};
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ToolProcess::WaitForDialog(DWORD timeoutMs) {
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
            dialog = FindProcessWindow(m_pid, "#32770", "Varek Setup");
            return (dialog != nullptr && IsWindowVisible(dialog)) || WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0;
        },
        timeoutMs);
    return dialog != nullptr && IsWindowVisible(dialog) ? dialog : nullptr;
}

bool ToolProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (m_process == nullptr || WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode != nullptr) GetExitCodeProcess(m_process, exitCode);
    return true;
}
