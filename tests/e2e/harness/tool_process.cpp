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

ToolProcess::~ToolProcess() { Release(); }

void ToolProcess::Release() {
    if (m_process == nullptr) return;
    if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
    m_process = nullptr;
}

std::string EnvironmentBlock(const std::vector<std::string>& extra) {
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=', 1)); };
    std::string block;
    char* own = GetEnvironmentStringsA();
    for (const char* entry = own; *entry != '\0'; entry += std::strlen(entry) + 1) {
        bool replaced = false;
        for (const std::string& e : extra) replaced = replaced || nameOf(e) == nameOf(entry);
        if (!replaced) block.append(entry).push_back('\0');
    }
    FreeEnvironmentStringsA(own);
    for (const std::string& e : extra) block.append(e).push_back('\0');
    block.push_back('\0');
    return block;
}

bool Launch(const std::string& exe, std::string& environmentBlock, PROCESS_INFORMATION* info) {
    std::string commandLine = "\"" + exe + "\"";
    const std::string directory = exe.substr(0, exe.find_last_of('\\'));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    *info = {};
    return CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, &environmentBlock[0],
                          directory.c_str(), &startup, info) != FALSE;
}

bool ToolProcess::Start(const std::string& exePath, const std::vector<std::string>& extraEnvironment) {
    Release();
    std::string block = EnvironmentBlock(extraEnvironment);
    PROCESS_INFORMATION info;
    if (!Launch(exePath, block, &info)) return false;
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_pid = info.dwProcessId;
    return true;
}

bool ToolProcess::StartThroughWineLoader(const std::string& exePath,
                                         const std::vector<std::string>& unixEnvironment) {
    Release();
    m_pid = 0;
    // By its Unix path, which becomes the loader's argv[0]: it finds the rest of Wine from there.
    const char* loader = std::getenv("WINELOADER");
    std::string commandLine = std::string(loader != nullptr ? loader : "/usr/bin/wine") + " \"" + exePath + "\"";
    std::string block = EnvironmentBlock(unixEnvironment);
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};  // Wine fills in no handles for a Unix program
    return CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, &block[0], nullptr, &startup, &info);
}

// Asks the window list for windows of the class and caption only, then checks their owner.
HWND FindProcessWindow(DWORD pid, const char* className, const char* caption) {
    for (HWND w = FindWindowExA(nullptr, nullptr, className, caption); w != nullptr;
         w = FindWindowExA(nullptr, w, className, caption)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) return w;
    }
    return nullptr;
}

HWND ToolProcess::WaitForDialog(DWORD timeoutMs) {
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
            if (m_process == nullptr) {  // started through the loader
                dialog = FindWindowExA(nullptr, nullptr, "#32770", "Varek Setup");
                if (dialog != nullptr && GetWindowThreadProcessId(dialog, &m_pid) != 0) {
                    m_process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, m_pid);
                }
            }
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
