// Reading and preparing HKCU\Software\Ostrand\Varek 3D for a test.
#include "registry.h"

const char kToolKey[] = "Software\\Ostrand\\Varek 3D";

void DeleteToolKey() { RegDeleteKeyA(HKEY_CURRENT_USER, kToolKey); }

bool ToolKeyExists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kToolKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string ToolKeyClass() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kToolKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char keyClass[256] = "";
    DWORD length = sizeof keyClass;
    RegQueryInfoKeyA(key, keyClass, &length, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(key);
    return std::string(keyClass, length);
}

KeyValues ReadToolKey() {
    KeyValues values;
    HKEY key;
    // Listing values needs no more than reading them, all that some keys of the tests grant.
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kToolKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return values;
    std::vector<uint8_t> data(2 * 1024 * 1024);
    for (DWORD index = 0;; ++index) {
        char name[512];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
        values[std::string(name, nameLength)] = {type, std::vector<uint8_t>(data.begin(), data.begin() + size)};
    }
    RegCloseKey(key);
    return values;
}

void WriteToolValue(const std::string& name, DWORD type, const std::vector<uint8_t>& bytes) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kToolKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(key, name.c_str(), 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

void WriteToolDword(const std::string& name, DWORD value) { WriteToolValue(name, REG_DWORD, Dword(value).bytes); }

StoredValue Dword(DWORD value) {
    return {REG_DWORD, {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
                        static_cast<uint8_t>(value >> 24)}};
}

StoredValue Binary(const std::vector<uint8_t>& bytes) { return {REG_BINARY, bytes}; }

std::vector<uint8_t> AllBytes(uint8_t value) { return std::vector<uint8_t>(16, value); }

KeyValues SavedValues(DWORD allow3DNow, DWORD noArgb1555, DWORD zDepth, DWORD colorDepth, DWORD execBuffers,
                      DWORD hal, DWORD mmx, DWORD rgb, DWORD useDefault, const std::vector<uint8_t>& deviceId) {
    const DWORD loaded[8] = {allow3DNow, noArgb1555, zDepth, colorDepth, execBuffers, hal, mmx, rgb};
    KeyValues values;
    for (int i = 0; i < 8; ++i) values[kExpectedLoaded[i].name] = Dword(loaded[i]);
    values[kExpectedUseDefaultName] = Dword(useDefault);
    values[kExpectedDeviceIdName] = Binary(deviceId);
    return values;
}

KeyValues DefaultSave() { return SavedValues(1, 1, 16, 16, 1, 1, 1, 1, 1, AllBytes(0xFF)); }
