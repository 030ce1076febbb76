// The DirectDraw display devices of the machine, newest report first.
#pragma once

#include "afx/afxplatform.h"
#include "afx/afxstr.h"
#include "devices/directdraw_port.h"

struct DeviceEntry {
    CString Description;
    CString DriverName;
    DWORD IsDefault;      // 1 for the device reported without a GUID
    GUID Guid;            // unset and never read when IsDefault is 1
    DeviceEntry* Next;
};

// Head of the process-wide list. Entries are never freed: the dialog's list box
// holds pointers to them as item data.
extern DeviceEntry* DeviceList;

// Called by DirectDraw once per device; context is the address of the head pointer.
BOOL CALLBACK EnumDeviceCallback(GUID* guid, LPSTR description, LPSTR name, LPVOID context);

// Asks the platform for the devices and adds them at the head of DeviceList, once: a list
// that holds devices already stays as it is, so that a second dialog or a refresh does not
// show every device twice. The platform's result is not looked at: entries made before a
// failure stay.
void EnumerateDevices(DeviceEnumerateFn enumerate);

// "DriverName - Description", the device's line in the list box.
CString DeviceLineText(const DeviceEntry& entry);
