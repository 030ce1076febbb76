// One call, its result passed through unchanged.
#include "devices/win32_directdraw.h"

#include <ddraw.h>

HRESULT WINAPI Win32DirectDrawEnumerate(DeviceEnumCallback callback, LPVOID context) {
    return DirectDrawEnumerateA(callback, context);
}
