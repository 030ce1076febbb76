// Fuzzes the settings store: Open, Load, Save and Close over an in-memory key whose
// values, refusals and failing writes all come from the input.
//
// Input, front to back (FuzzInput: missing bytes read as zero):
//   key byte     bit 0: a path with a leading backslash is refused with ERROR_BAD_PATHNAME;
//                bit 1: every CreateKey is refused with the Number that follows;
//                bit 2: CreateKey for more than reading is refused with ERROR_ACCESS_DENIED;
//                bit 3: with bit 2, reading and setting values are granted all the same
//   calls byte   bit 0: Load; bit 1: Save; bit 2: Close twice; bit 3: edit the record before Save
//   2 bytes      little-endian mask of the SetValue calls that fail (bit i: call i), and, when
//                it is not zero, a Number: their error code (0 stands for ERROR_ACCESS_DENIED)
//   fill byte    every byte of the record before Load
//   edits        with calls bit 3: nine Numbers for the record's DWORDs in declaration order,
//                then the 16 bytes of the device GUID
//   11 values    the eight loaded ones in load order, then "Use Default Direct Draw",
//                "Direct Draw Device ID" and "Window position": a byte (bit 0: present), and
//                when present a Number for the type and a Run of up to 64 KiB for the data
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "fakes/fake_registry.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "settings/settings_store.h"
#include "stored_values.h"

namespace {

const char kCreateWithBackslash[] = "CreateKey HKCU \\Software\\Ostrand\\Varek 3D [Varek 3D] 0 0xF003F";
const char kCreateWithout[] = "CreateKey HKCU Software\\Ostrand\\Varek 3D [Varek 3D] 0 0xF003F";
const char kSetWithBackslash[] = "CreateKey HKCU \\Software\\Ostrand\\Varek 3D [Varek 3D] 0 0x3";
const char kSetWithout[] = "CreateKey HKCU Software\\Ostrand\\Varek 3D [Varek 3D] 0 0x3";
const char kReadWithBackslash[] = "CreateKey HKCU \\Software\\Ostrand\\Varek 3D [Varek 3D] 0 0x1";
const char kReadWithout[] = "CreateKey HKCU Software\\Ostrand\\Varek 3D [Varek 3D] 0 0x1";

// The eight loaded values, in load order, with the field each lands in and its default.
struct LoadedValue {
    const char* name;
    DWORD RenderSettings::*field;
    DWORD byDefault;
};
DWORD RenderSettings::*const kLoadedFields[8] = {
    &RenderSettings::Allow3DNow,         &RenderSettings::NoArgb1555Textures, &RenderSettings::ZBufferBitDepth,
    &RenderSettings::ColorBufferBitDepth, &RenderSettings::ExecuteBufferCount, &RenderSettings::AllowD3DHAL,
    &RenderSettings::AllowD3DMMX,        &RenderSettings::AllowD3DRGB};
const std::vector<LoadedValue> kLoaded = [] {
    std::vector<LoadedValue> loaded;
    for (int i = 0; i < 8; ++i)
        loaded.push_back({kExpectedLoaded[i].name, kLoadedFields[i], kExpectedLoaded[i].loadDefault});
    return loaded;
}();
const char* const kOtherNames[3] = {kExpectedUseDefaultName, kExpectedDeviceIdName, "Window position"};

using Values = std::map<std::string, RegValue>;
using Trace = std::vector<std::string>;

struct Write {
    std::string name;
    RegValue value;
};

// The fake key, also keeping what every SetValue asked to store, whether it failed or not.
class RecordingKey : public FakeRegistry {
public:
    std::vector<Write> writes;

    LONG SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) override {
        writes.push_back({name, {type, std::vector<BYTE>(data, data + size)}});
        return FakeRegistry::SetValue(key, name, type, data, size);
    }
};

std::vector<BYTE> LittleEndian(uint32_t value, int size) {
    std::vector<BYTE> bytes;
    for (int i = 0; i < size; ++i) bytes.push_back(BYTE(value >> (8 * i)));
    return bytes;
}

// The ten values Save is to write for this record, in their order.
std::vector<Write> ExpectedWrites(const RenderSettings& r) {
    const auto dword = [](const char* name, DWORD value) {
        return Write{name, {REG_DWORD, LittleEndian(value, 4)}};
    };
    std::vector<Write> writes;
    for (const LoadedValue& value : kLoaded) writes.push_back(dword(value.name, r.*value.field));
    writes.push_back(dword(kExpectedUseDefaultName, r.UseDefaultDirectDraw));
    const GUID& g = r.DirectDrawDeviceId;
    std::vector<BYTE> id = LittleEndian(g.Data1, 4);
    for (BYTE b : LittleEndian(g.Data2, 2)) id.push_back(b);
    for (BYTE b : LittleEndian(g.Data3, 2)) id.push_back(b);
    id.insert(id.end(), g.Data4, g.Data4 + 8);
    writes.push_back({kExpectedDeviceIdName, {REG_BINARY, id}});
    return writes;
}

RegValue ReadValue(FuzzInput& in) {
    RegValue value;
    value.type = in.Number();
    const std::string data = in.Run(65536);
    value.bytes.assign(data.begin(), data.end());
    return value;
}

std::string TraceText(const Trace& trace) {
    std::string text;
    for (const std::string& line : trace) text += "\n      " + line;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    RecordingKey key;

    const uint8_t keyBehaviour = in.Byte();
    key.refuseLeadingBackslash = (keyBehaviour & 1) != 0;
    key.createKeyError = (keyBehaviour & 2) ? LONG(in.Number()) : ERROR_SUCCESS;
    key.writeAccessError = (keyBehaviour & 4) ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    if (keyBehaviour & 8) key.grantedAccess = KEY_READ | KEY_SET_VALUE;

    const uint8_t calls = in.Byte();
    const bool load = calls & 1, save = calls & 2, closeTwice = calls & 4, edit = calls & 8;

    uint32_t failing = in.Byte();
    failing |= uint32_t(in.Byte()) << 8;
    LONG setError = failing != 0 ? LONG(in.Number()) : ERROR_SUCCESS;
    if (setError == ERROR_SUCCESS) setError = ERROR_ACCESS_DENIED;
    for (int i = 0; i < 16; ++i) key.setErrors.push_back((failing >> i & 1) ? setError : ERROR_SUCCESS);

    RenderSettings record;
    std::memset(&record, in.Byte(), sizeof record);
    RenderSettings edited{};
    if (edit) {
        DWORD* const fields[9] = {&edited.Allow3DNow,         &edited.ZBufferBitDepth, &edited.ColorBufferBitDepth,
                                  &edited.ExecuteBufferCount, &edited.AllowD3DHAL,     &edited.AllowD3DMMX,
                                  &edited.AllowD3DRGB,        &edited.NoArgb1555Textures,
                                  &edited.UseDefaultDirectDraw};
        for (DWORD* field : fields) *field = in.Number();
        BYTE id[16];
        for (BYTE& b : id) b = in.Byte();
        std::memcpy(&edited.DirectDrawDeviceId, id, sizeof id);
    }

    for (const LoadedValue& loaded : kLoaded)
        if (in.Byte() & 1) key.values[loaded.name] = ReadValue(in);
    for (const char* name : kOtherNames)
        if (in.Byte() & 1) key.values[name] = ReadValue(in);
    const Values stored = key.values;

    // Open: for writing (after ERROR_ACCESS_DENIED, for setting values only), then, when
    // that fails, for reading; each the backslash form first, the form without it only
    // after ERROR_BAD_PATHNAME.
    SettingsStore store(key);
    Trace trace;
    const auto expectOpen = [&](const char* withBackslash, const char* without, LONG accessError) {
        trace.push_back(withBackslash);
        LONG rc = key.createKeyError != ERROR_SUCCESS ? key.createKeyError
                  : key.refuseLeadingBackslash        ? ERROR_BAD_PATHNAME
                                                      : accessError;
        if (rc == ERROR_BAD_PATHNAME) {
            trace.push_back(without);
            rc = key.createKeyError != ERROR_SUCCESS ? key.createKeyError : accessError;
        }
        return rc;
    };
    LONG openResult = expectOpen(kCreateWithBackslash, kCreateWithout, key.writeAccessError);
    if (openResult == ERROR_ACCESS_DENIED)
        openResult = expectOpen(kSetWithBackslash, kSetWithout, (keyBehaviour & 8) ? ERROR_SUCCESS : key.writeAccessError);
    const bool writable = openResult == ERROR_SUCCESS;
    const bool opened = writable || expectOpen(kReadWithBackslash, kReadWithout, ERROR_SUCCESS) == ERROR_SUCCESS;
    FUZZ_CHECK(store.Open() == writable, "Open must be %s", writable ? "true" : "false");
    FUZZ_CHECK(key.trace == trace, "calls of Open:%s\n    expected:%s", TraceText(key.trace).c_str(),
               TraceText(trace).c_str());

    if (load) {
        RenderSettings loaded = record;
        store.Load(loaded);
        for (const LoadedValue& value : kLoaded) {
            const auto found = stored.find(value.name);
            const bool usable = opened && found != stored.end() && found->second.type == REG_DWORD &&
                                found->second.bytes.size() == 4;
            DWORD expected = value.byDefault;
            if (usable) {
                const std::vector<BYTE>& b = found->second.bytes;
                expected = DWORD(b[0]) | DWORD(b[1]) << 8 | DWORD(b[2]) << 16 | DWORD(b[3]) << 24;
            }
            FUZZ_CHECK(loaded.*value.field == expected, "\"%s\" loaded as %u, expected %u", value.name,
                       unsigned(loaded.*value.field), unsigned(expected));
        }
        FUZZ_CHECK(loaded.UseDefaultDirectDraw == record.UseDefaultDirectDraw &&
                       std::memcmp(&loaded.DirectDrawDeviceId, &record.DirectDrawDeviceId, sizeof(GUID)) == 0,
                   "Load changed the device fields, which are never loaded");
        FUZZ_CHECK(key.values == stored, "Load changed the key");
        if (opened)
            for (const LoadedValue& value : kLoaded) trace.push_back(std::string("Query ") + value.name);
        FUZZ_CHECK(key.trace == trace, "calls up to Load:%s\n    expected:%s", TraceText(key.trace).c_str(),
                   TraceText(trace).c_str());
        record = loaded;
    }
    if (edit) record = edited;

    Values expectedValues = stored;
    if (save) {
        const LONG saved = store.Save(record);
        const std::vector<Write> expected = writable ? ExpectedWrites(record) : std::vector<Write>{};
        LONG firstFailure = writable ? ERROR_SUCCESS : openResult;
        for (std::size_t i = 0; i < expected.size() && firstFailure == ERROR_SUCCESS; ++i)
            if (failing >> i & 1) firstFailure = setError;
        FUZZ_CHECK(saved == firstFailure, "Save reported %ld, expected %ld", long(saved), long(firstFailure));
        FUZZ_CHECK(key.writes.size() == expected.size(), "Save made %zu writes, expected %zu", key.writes.size(),
                   expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const Write& made = key.writes[i];
            const Write& due = expected[i];
            FUZZ_CHECK(made.name == due.name && made.value.type == due.value.type &&
                           made.value.bytes.size() == due.value.bytes.size(),
                       "write %zu: \"%s\" type %u, %zu bytes; expected \"%s\" type %u, %zu bytes", i,
                       made.name.c_str(), unsigned(made.value.type), made.value.bytes.size(), due.name.c_str(),
                       unsigned(due.value.type), due.value.bytes.size());
            if (!(failing >> i & 1)) expectedValues[due.name] = due.value;
            trace.push_back("Set " + due.name);
        }
        // The writes that went through hold the record's values; every other value is as it was.
        for (const auto& [name, value] : expectedValues) {
            const auto found = key.values.find(name);
            FUZZ_CHECK(found != key.values.end() && found->second == value, "after Save, \"%s\" is %s", name.c_str(),
                       found == key.values.end() ? "missing" : "not what it should be");
        }
        FUZZ_CHECK(key.values.size() == expectedValues.size(), "Save left %zu values, expected %zu",
                   key.values.size(), expectedValues.size());
        FUZZ_CHECK(key.trace == trace, "calls up to Save:%s\n    expected:%s", TraceText(key.trace).c_str(),
                   TraceText(trace).c_str());
    }

    store.Close();
    if (closeTwice) store.Close();
    if (opened) trace.push_back("Close");
    FUZZ_CHECK(key.trace == trace, "calls up to Close:%s\n    expected:%s", TraceText(key.trace).c_str(),
               TraceText(trace).c_str());
    FUZZ_CHECK(key.values == expectedValues, "Close changed the key");
    return 0;
}
