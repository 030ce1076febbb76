// Turning the list box's selection into UseDefaultDirectDraw and DirectDrawDeviceId.
#include "devices/device_choice.h"

#include <cstring>

#include "devices/device_list.h"

void ResolveDeviceChoice(LRESULT itemData, RenderSettings& settings) {
    // With no line selected the choice is the head of the list: the device that
    // DirectDraw reported last, which is not necessarily the first line on screen.
    const DeviceEntry* chosen = (itemData == 0 || itemData == -1)
                                    ? DeviceList
                                    : reinterpret_cast<const DeviceEntry*>(itemData);
    if (chosen == nullptr) return;
    settings.UseDefaultDirectDraw = chosen->IsDefault;
    if (chosen->IsDefault == 0) {
        settings.DirectDrawDeviceId = chosen->Guid;
    } else {
        std::memset(&settings.DirectDrawDeviceId, 0xFF, sizeof settings.DirectDrawDeviceId);
    }
}
