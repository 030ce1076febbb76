// Building the device list from DirectDraw's reports.
#include "devices/device_list.h"

#include <cstring>
#include <new>

#include "afx/afxheap.h"

DeviceEntry* DeviceList = nullptr;

namespace {

DeviceEntry* NewEntry() {
    void* block = AfxAllocate(sizeof(DeviceEntry));
    if (block == nullptr) return nullptr;
    DeviceEntry* entry = new (block) DeviceEntry();
    entry->IsDefault = 0;
    entry->Next = nullptr;
    return entry;
}

void DeleteEntry(DeviceEntry* entry) {
    entry->~DeviceEntry();
    AfxRelease(entry);
}

}  // namespace

BOOL CALLBACK EnumDeviceCallback(GUID* guid, LPSTR description, LPSTR name, LPVOID context) {
    DeviceEntry** head = static_cast<DeviceEntry**>(context);
    DeviceEntry* entry = NewEntry();
    // A device that cannot be recorded whole is left out; the others still count.
    if (entry == nullptr) return TRUE;
    if (guid != nullptr) {
        std::memcpy(&entry->Guid, guid, sizeof entry->Guid);
        entry->IsDefault = 0;
    } else {
        entry->IsDefault = 1;
    }
    entry->Description = description;
    entry->DriverName = name;
    if (!entry->Description.IsValid() || !entry->DriverName.IsValid()) {
        DeleteEntry(entry);
        return TRUE;
    }
    entry->Next = *head;
    *head = entry;
    return TRUE;
}

void EnumerateDevices(DeviceEnumerateFn enumerate) {
    if (DeviceList != nullptr) return;
    (void)enumerate(EnumDeviceCallback, &DeviceList);
}

CString DeviceLineText(const DeviceEntry& entry) { return entry.DriverName + " - " + entry.Description; }
