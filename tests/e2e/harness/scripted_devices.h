// Runs the tool with the stand-in ddraw.dll, which reports the devices a test scripts.
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

// A folder with a copy of the tool, the stand-in ddraw.dll beside it, and the script.
class ScriptedDirectDraw {
public:
    // failAfterDevices: the enumeration reports an error after that many devices (-1: never).
    explicit ScriptedDirectDraw(const std::vector<ScriptedDevice>& devices, int failAfterDevices = -1);
    ~ScriptedDirectDraw();
    ScriptedDirectDraw(const ScriptedDirectDraw&) = delete;
    ScriptedDirectDraw& operator=(const ScriptedDirectDraw&) = delete;
    const std::string& ExePath() const { return m_exe; }
    // The environment that tells the stand-in its script.
    std::vector<std::string> Environment() const;

private:
    static void LoadStandIn(bool on);

    std::string m_folder;  // Windows path
    std::string m_exe;
    std::string m_script;
};
