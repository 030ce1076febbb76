// The scripted enumeration. Like DirectDraw's, its strings and GUID live only for
// the duration of one callback: they are spoiled right after it.
#include "fake_ddraw.h"

#include <algorithm>
#include <cstring>

DeviceScript theDeviceScript;

HRESULT WINAPI ScriptedDirectDrawEnumerate(DeviceEnumCallback callback, LPVOID context) {
    const DeviceScript& script = theDeviceScript;
    int reported = 0;
    for (const ScriptedDevice& device : script.devices) {
        if (reported == script.failAfter) return script.failure;
        GUID guid = device.guid.value_or(GUID{});
        std::string description = device.description;
        std::string name = device.name;
        ++reported;
        const BOOL more = callback(device.guid ? &guid : nullptr, description.data(), name.data(), context);
        std::memset(&guid, 0x5A, sizeof guid);
        std::fill(description.begin(), description.end(), '#');
        std::fill(name.begin(), name.end(), '#');
        if (!more) return 0;
    }
    return reported == script.failAfter ? script.failure : 0;
}
