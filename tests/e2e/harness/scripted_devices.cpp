// Preparing the folder and the script that the stand-in ddraw.dll reads.
#include "scripted_devices.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "tool_process.h"

std::vector<uint8_t> TestGuid(int n) {
    std::vector<uint8_t> guid(16);
    for (int i = 0; i < 14; ++i) guid[i] = static_cast<uint8_t>(0x10 + n + 7 * i);
    guid[14] = static_cast<uint8_t>(n);
    guid[15] = static_cast<uint8_t>(n >> 8);
    return guid;
}

namespace {
std::string EnvironmentPath(const char* name) {
    const char* value = std::getenv(name);
    return WindowsPath(value != nullptr ? value : "");
}

// The build puts the stand-in in scripted_ddraw\ beside the test programs.
std::string StandInDdrawPath() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string own(path, length < MAX_PATH ? length : 0);
    return own.substr(0, own.find_last_of('\\')) + "\\scripted_ddraw\\ddraw.dll";
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (uint8_t byte : bytes) {
        text.push_back(digits[byte >> 4]);
        text.push_back(digits[byte & 15]);
    }
    return text;
}

bool WriteTextFile(const std::string& path, const std::string& text, const char* mode = "wb") {
    FILE* file = std::fopen(path.c_str(), mode);
    if (file == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}
}  // namespace

std::string DeviceScript(const std::vector<ScriptedDevice>& devices, int failAfterDevices) {
    std::string script;
    for (size_t i = 0; i < devices.size(); ++i) {
        if (static_cast<int>(i) == failAfterDevices) script += "fail\n";
        const ScriptedDevice& device = devices[i];
        script += (device.guid.empty() ? "-" : Hex(device.guid)) + "\t" + device.name + "\t" + device.description + "\n";
    }
    if (failAfterDevices >= static_cast<int>(devices.size())) script += "fail\n";
    return script;
}

// Wine takes a child's WINEDLLOVERRIDES from the parent's Unix environment, not from the
// environment block given to CreateProcess, so the stand-in is chosen through the
// per-program settings in the registry. They are keyed by file name, which the copy
// beside the stand-in shares with the tool in the build folder; that one has no ddraw.dll
// beside it and keeps Wine's either way, but while the key exists Wine looks in it for
// every DLL the program loads, so it goes when the stand-in is not wanted.
void UseStandInDdraw(bool on) {
    static const char kProgram[] = "Software\\Wine\\AppDefaults\\Varek Setup.exe";
    static const char kOverrides[] = "Software\\Wine\\AppDefaults\\Varek Setup.exe\\DllOverrides";
    static const char kOrder[] = "native,builtin";
    if (!on) {
        RegDeleteKeyA(HKEY_CURRENT_USER, kOverrides);
        RegDeleteKeyA(HKEY_CURRENT_USER, kProgram);
        return;
    }
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExA(key, "ddraw", 0, REG_SZ, reinterpret_cast<const BYTE*>(kOrder), sizeof kOrder);
        RegCloseKey(key);
    }
}

ScriptedDirectDraw::ScriptedDirectDraw(const std::vector<ScriptedDevice>& devices, int failAfterDevices,
                                       const std::string& toolExe, const std::string& standIn) {
    static int serial = 0;
    m_folder = EnvironmentPath("VAREK_WINE_SESSION") + "\\scripted-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++serial);
    CreateDirectoryA(m_folder.c_str(), nullptr);
    m_exe = m_folder + "\\Varek Setup.exe";
    m_script = m_folder + "\\devices.txt";
    m_ready = CopyFileA((toolExe.empty() ? ToolExePath() : toolExe).c_str(), m_exe.c_str(), FALSE) &&
              CopyFileA((standIn.empty() ? StandInDdrawPath() : standIn).c_str(), (m_folder + "\\ddraw.dll").c_str(),
                        FALSE) &&
              WriteTextFile(m_script, DeviceScript(devices, failAfterDevices));
    UseStandInDdraw(true);
}

ScriptedDirectDraw::~ScriptedDirectDraw() { UseStandInDdraw(false); }

bool ScriptedDirectDraw::Slow(unsigned ms) const {
    return WriteTextFile(m_script, "sleep " + std::to_string(ms) + "\n", "ab");
}

std::vector<std::string> ScriptedDirectDraw::Environment() const { return {"VAREK_DDRAW_SCRIPT=" + m_script}; }
