// Runs Varek Setup.exe (or another program) as a user would start it and finds its dialog.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A Unix path as Wine's Windows side sees it (drive Z: is the Unix root).
std::string WindowsPath(const std::string& path);

// The program under test, from the VAREK_EXE variable set by the test runner.
std::string ToolExePath();

// Our own environment with the extra "NAME=value" entries added or replacing ours, as
// the environment block CreateProcess takes.
std::string EnvironmentBlock(const std::vector<std::string>& extra);
// Starts exe (a Windows path) in its own folder with that environment block.
bool Launch(const std::string& exe, std::string& environmentBlock, PROCESS_INFORMATION* info);

class ToolProcess {
public:
    ToolProcess() = default;
    ~ToolProcess();  // a process still running is ended: no test leaves one behind
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    // Starts the exe, ending the last start's process first; extra entries are "NAME=value".
    bool Start(const std::string& exePath, const std::vector<std::string>& extraEnvironment = {});
    // The same through Wine's loader, a Unix program. A Windows program's child inherits its
    // parent's Unix environment whatever block it is given; a Unix program gets the block
    // itself. So the entries reach the tool's Unix environment, where Wine reads LC_ALL for
    // the locale and the ANSI code page. Wine hands back no process for a Unix program:
    // WaitForDialog takes the tool's from the first setup dialog it finds.
    bool StartThroughWineLoader(const std::string& exePath, const std::vector<std::string>& unixEnvironment);
    // The dialog, once it is created and shown (its start-up has run); null on time-out.
    HWND WaitForDialog(DWORD timeoutMs = 15000);
    // True when the process ended within the time; exitCode gets its status.
    bool WaitForExit(DWORD timeoutMs = 15000, DWORD* exitCode = nullptr);
    DWORD Pid() const { return m_pid; }
    HANDLE Handle() const { return m_process; }

private:
    void Release();  // ends the process if it still runs and closes its handle

    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
};

// The top-level window of process pid with this class and caption, or null.
HWND FindProcessWindow(DWORD pid, const char* className, const char* caption);

// Polls a condition every millisecond or so until it holds or the time is up.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(1);
    }
}
