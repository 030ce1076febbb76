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
}  // namespace

ScriptedDirectDraw::ScriptedDirectDraw(const std::vector<ScriptedDevice>& devices, int failAfterDevices) {
    static int serial = 0;
    m_folder = EnvironmentPath("VAREK_WINE_SESSION") + "\\scripted-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++serial);
    CreateDirectoryA(m_folder.c_str(), nullptr);
    m_exe = m_folder + "\\Varek Setup.exe";
    m_script = m_folder + "\\devices.txt";
    CopyFileA(ToolExePath().c_str(), m_exe.c_str(), FALSE);
    CopyFileA(StandInDdrawPath().c_str(), (m_folder + "\\ddraw.dll").c_str(), FALSE);

    std::string script;
    for (size_t i = 0; i < devices.size(); ++i) {
        if (static_cast<int>(i) == failAfterDevices) script += "fail\n";
        const ScriptedDevice& device = devices[i];
        script += (device.guid.empty() ? "-" : Hex(device.guid)) + "\t" + device.name + "\t" + device.description + "\n";
    }
    if (failAfterDevices >= static_cast<int>(devices.size())) script += "fail\n";
    LoadStandIn(true);
    FILE* file = std::fopen(m_script.c_str(), "wb");
    if (file != nullptr) {
        std::fwrite(script.data(), 1, script.size(), file);
        std::fclose(file);
    }
}

// Wine takes a child's WINEDLLOVERRIDES from the parent's Unix environment, not from
// the environment block given to CreateProcess, so the override goes through the
// per-program settings in the registry instead. Varek Setup.exe in the build folder
// has no ddraw.dll beside it and keeps Wine's own either way.
namespace {
const char kOverrides[] = "Software\\Wine\\AppDefaults\\Varek Setup.exe\\DllOverrides";
}

void ScriptedDirectDraw::LoadStandIn(bool on) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    static const char order[] = "native,builtin";
    if (on) {
        RegSetValueExA(key, "ddraw", 0, REG_SZ, reinterpret_cast<const BYTE*>(order), sizeof order);
    } else {
        RegDeleteValueA(key, "ddraw");
    }
    RegCloseKey(key);
}

ScriptedDirectDraw::~ScriptedDirectDraw() { LoadStandIn(false); }

std::vector<std::string> ScriptedDirectDraw::Environment() const { return {"VAREK_DDRAW_SCRIPT=" + m_script}; }
