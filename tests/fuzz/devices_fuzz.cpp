// Fuzzes the device list: the reported devices, the failing allocations and the
// enumeration's failure come from the input; then the list, each line's text and the
// device choice for a few selections are checked, and the list is freed again.
//
// Input, front to back (FuzzInput: missing bytes read as zero):
//   failure byte   bit 0: the enumeration fails after the number of devices in the next byte,
//                  returning the Number after it
//   choices        a byte: 1 + (byte % 4) selections, each three bytes: a kind (% 3: 0 item
//                  data 0, 1 item data -1, 2 an entry, or 0 when the list is empty), the
//                  entry's position in the list (% its length), the byte that fills the
//                  record beforehand
//   count byte     (count % 33) devices, each:
//                    flags byte   bit 0: reported with a GUID, the 16 bytes that follow;
//                                 bits 1-3: n, the nth allocation made during its report
//                                 fails (0: none)
//                    two Runs of up to 64 KiB: the description, the driver name. A C string
//                    has no zero byte: a zero from the input stands for 0xFF.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "afx/afxheap.h"
#include "devices/device_choice.h"
#include "devices/device_list.h"
#include "fakes/fake_ddraw.h"
#include "fakes/fake_heap.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

namespace {

struct Choice {
    int kind;
    int position;
    uint8_t fill;
};

// Sits between the scripted enumeration and the tool's callback: sets up each report's
// allocation failure and notes whether the heap refused anything during that report.
DeviceEnumCallback s_toolCallback = nullptr;
std::vector<int> s_failingAllocation;  // per device, as planned
std::vector<bool> s_refused;           // per device, as it happened
std::size_t s_reports = 0;

BOOL CALLBACK InterposedCallback(GUID* guid, LPSTR description, LPSTR name, LPVOID context) {
    const std::size_t report = s_reports++;
    FakeHeapReset();
    FakeHeapFailAllocation(s_failingAllocation[report]);  // 0 plans nothing
    const BOOL more = s_toolCallback(guid, description, name, context);
    s_refused[report] = FakeHeapRefusals() > 0;
    FakeHeapReset();
    return more;
}

HRESULT WINAPI InterposedEnumerate(DeviceEnumCallback callback, LPVOID context) {
    s_toolCallback = callback;
    return ScriptedDirectDrawEnumerate(InterposedCallback, context);
}

std::string ReadText(FuzzInput& in) {
    std::string text = in.Run(65536);
    std::replace(text.begin(), text.end(), '\0', '\xFF');
    return text;
}

bool SameText(const CString& actual, const std::string& expected) {
    const char* text = actual;
    return actual.GetLength() == expected.size() && std::memcmp(text, expected.data(), expected.size()) == 0 &&
           text[expected.size()] == '\0';
}

void FreeDeviceList() {
    while (DeviceList != nullptr) {
        DeviceEntry* next = DeviceList->Next;
        DeviceList->~DeviceEntry();
        AfxRelease(DeviceList);
        DeviceList = next;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    DeviceScript script;
    if (in.Byte() & 1) {
        script.failAfter = in.Byte();
        script.failure = HRESULT(in.Number());
    }
    std::vector<Choice> choices(1 + in.Byte() % 4);
    for (Choice& choice : choices) {
        choice.kind = in.Byte() % 3;
        choice.position = in.Byte();
        choice.fill = in.Byte();
    }
    const int count = in.Byte() % 33;
    s_failingAllocation.assign(count, 0);
    s_refused.assign(count, false);
    s_reports = 0;
    for (int i = 0; i < count; ++i) {
        ScriptedDevice device;
        const uint8_t flags = in.Byte();
        if (flags & 1) {
            BYTE id[16];
            for (BYTE& b : id) b = in.Byte();
            GUID guid;
            std::memcpy(&guid, id, sizeof guid);
            device.guid = guid;
        }
        s_failingAllocation[i] = flags >> 1 & 7;
        device.description = ReadText(in);
        device.name = ReadText(in);
        script.devices.push_back(device);
    }

    theDeviceScript = script;
    DeviceList = nullptr;
    FakeHeapReset();
    const int liveBlocks = FakeHeapLiveBlocks();
    EnumerateDevices(InterposedEnumerate);

    // Every device reported before the failure and recorded without a refusal, newest first.
    const int reported = script.failAfter < 0 ? count : std::min(count, script.failAfter);
    std::vector<const ScriptedDevice*> expected;
    for (int i = reported - 1; i >= 0; --i)
        if (!s_refused[i]) expected.push_back(&script.devices[i]);

    std::vector<const DeviceEntry*> entries;
    for (const DeviceEntry* entry = DeviceList; entry != nullptr && entries.size() <= expected.size();
         entry = entry->Next)
        entries.push_back(entry);
    FUZZ_CHECK(entries.size() == expected.size(), "%zu entries%s, expected %zu", entries.size(),
               entries.size() > expected.size() ? " or more" : "", expected.size());
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const DeviceEntry& entry = *entries[k];
        const ScriptedDevice& device = *expected[k];
        FUZZ_CHECK(entry.IsDefault == (device.guid ? 0u : 1u), "entry %zu: IsDefault %u", k,
                   unsigned(entry.IsDefault));
        FUZZ_CHECK(!device.guid || std::memcmp(&entry.Guid, &*device.guid, sizeof(GUID)) == 0,
                   "entry %zu: not the reported GUID", k);
        FUZZ_CHECK(SameText(entry.Description, device.description),
                   "entry %zu: description of %zu bytes, expected %zu", k, entry.Description.GetLength(),
                   device.description.size());
        FUZZ_CHECK(SameText(entry.DriverName, device.name), "entry %zu: driver name of %zu bytes, expected %zu", k,
                   entry.DriverName.GetLength(), device.name.size());
        const CString line = DeviceLineText(entry);
        FUZZ_CHECK(line.IsValid() && SameText(line, device.name + " - " + device.description),
                   "entry %zu: line text of %zu bytes is not \"name - description\"", k, line.GetLength());
    }

    for (const Choice& choice : choices) {
        RenderSettings settings;
        std::memset(&settings, choice.fill, sizeof settings);
        RenderSettings due = settings;
        LRESULT itemData = choice.kind == 1 ? -1 : 0;
        std::size_t chosen = 0;  // the head, unless an entry is picked
        if (choice.kind == 2 && !entries.empty()) {
            chosen = choice.position % entries.size();
            itemData = reinterpret_cast<LRESULT>(entries[chosen]);
        }
        if (!entries.empty()) {
            const ScriptedDevice& device = *expected[chosen];
            due.UseDefaultDirectDraw = device.guid ? 0 : 1;
            if (device.guid)
                std::memcpy(&due.DirectDrawDeviceId, &*device.guid, sizeof(GUID));
            else
                std::memset(&due.DirectDrawDeviceId, 0xFF, sizeof(GUID));
        }
        ResolveDeviceChoice(itemData, settings);
        FUZZ_CHECK(std::memcmp(&settings, &due, sizeof settings) == 0,
                   "choice of item data %ld (entry %zu of %zu, %s): UseDefaultDirectDraw %u", long(itemData), chosen,
                   entries.size(), entries.empty() ? "none" : expected[chosen]->guid ? "with a GUID" : "default",
                   unsigned(settings.UseDefaultDirectDraw));
    }

    FakeHeapReset();
    FreeDeviceList();
    FUZZ_CHECK(FakeHeapLiveBlocks() == liveBlocks, "%d blocks left on the heap", FakeHeapLiveBlocks() - liveBlocks);
    return 0;
}
