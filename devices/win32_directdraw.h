// The device port over DirectDraw's own enumeration.
#pragma once

#include "devices/directdraw_port.h"

HRESULT WINAPI Win32DirectDrawEnumerate(DeviceEnumCallback callback, LPVOID context);
