// A DirectDraw enumeration that reports a scripted list of display devices.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "devices/directdraw_port.h"

struct ScriptedDevice {
    std::optional<GUID> guid;  // none for the default driver
    std::string description;
    std::string name;
};

struct DeviceScript {
    std::vector<ScriptedDevice> devices;  // reported in this order
    int failAfter = -1;                   // report this many, then return failure; -1: report all
    HRESULT failure = static_cast<HRESULT>(0x80004005u);  // E_FAIL
};

extern DeviceScript theDeviceScript;

// A DeviceEnumerateFn over theDeviceScript; stops early when the callback returns 0.
HRESULT WINAPI ScriptedDirectDrawEnumerate(DeviceEnumCallback callback, LPVOID context);
