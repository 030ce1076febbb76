// The tool's key as the test sees it, through the real (Wine) registry.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "../../stored_values.h"

struct StoredValue {
    DWORD type;
    std::vector<uint8_t> bytes;
    bool operator==(const StoredValue& other) const { return type == other.type && bytes == other.bytes; }
};

using KeyValues = std::map<std::string, StoredValue>;

extern const char kToolKey[];  // "Software\Ostrand\Varek 3D" under HKEY_CURRENT_USER

void DeleteToolKey();
bool ToolKeyExists();
std::string ToolKeyClass();
KeyValues ReadToolKey();
void WriteToolValue(const std::string& name, DWORD type, const std::vector<uint8_t>& bytes);
void WriteToolDword(const std::string& name, DWORD value);

StoredValue Dword(DWORD value);
StoredValue Binary(const std::vector<uint8_t>& bytes);
// The ten values a "Save" writes, with the given numbers and device fields.
KeyValues SavedValues(DWORD allow3DNow, DWORD noArgb1555, DWORD zDepth, DWORD colorDepth, DWORD execBuffers,
                      DWORD hal, DWORD mmx, DWORD rgb, DWORD useDefault, const std::vector<uint8_t>& deviceId);
// What a "Save" with untouched defaults and Wine's one default display driver writes.
KeyValues DefaultSave();
std::vector<uint8_t> AllBytes(uint8_t value);  // sixteen bytes of the value
