// Runs the tool with the stand-in ddraw.dll, which reports the devices a script lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ScriptedDevice {
    std::vector<uint8_t> guid;  // empty for the default display driver
    std::string name;
    std::string description;
};

// Sixteen bytes that differ from device to device, for n up to 65535.
std::vector<uint8_t> TestGuid(int n);

// The stand-in's script: one line per device, "fail" after failAfterDevices of them (-1: never).
std::string DeviceScript(const std::vector<ScriptedDevice>& devices, int failAfterDevices = -1);

// Makes Wine load the ddraw.dll that sits beside a program named "Varek Setup.exe" (on), or
// its own (off: the per-program key is removed, so no run pays for Wine looking in it).
void UseStandInDdraw(bool on);

// A folder with a copy of the tool, the stand-in ddraw.dll beside it, and the script.
// The stand-in is in use while one exists.
class ScriptedDirectDraw {
public:
    // failAfterDevices: the enumeration reports an error after that many devices (-1: never).
    // toolExe and standIn are Windows paths; empty: the tool under test and the stand-in
    // the build puts in scripted_ddraw\ beside the test programs.
    explicit ScriptedDirectDraw(const std::vector<ScriptedDevice>& devices, int failAfterDevices = -1,
                                const std::string& toolExe = "", const std::string& standIn = "");
    ~ScriptedDirectDraw();
    ScriptedDirectDraw(const ScriptedDirectDraw&) = delete;
    ScriptedDirectDraw& operator=(const ScriptedDirectDraw&) = delete;
    bool Ready() const { return m_ready; }  // the folder, the copies and the script are in place
    // Makes the enumeration wait ms after its devices, as a slow display driver does.
    bool Slow(unsigned ms) const;
    const std::string& ExePath() const { return m_exe; }
    // The environment that tells the stand-in its script.
    std::vector<std::string> Environment() const;

private:
    std::string m_folder;  // Windows path
    std::string m_exe;
    std::string m_script;
    bool m_ready = false;
};
