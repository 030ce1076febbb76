// The one DirectDraw operation the device list needs, shaped like DirectDrawEnumerateA
// and its callback in <ddraw.h>, so the Windows adapter passes everything straight through.
#pragma once

#include "afx/afxplatform.h"

typedef BOOL(CALLBACK* DeviceEnumCallback)(GUID* guid, LPSTR description, LPSTR name, LPVOID context);
typedef HRESULT(WINAPI* DeviceEnumerateFn)(DeviceEnumCallback callback, LPVOID context);
