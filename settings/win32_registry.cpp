// One call each, results passed through unchanged.
#include "settings/win32_registry.h"

LONG Win32Registry::CreateKey(HKEY root, LPCSTR subKey, LPSTR keyClass, DWORD options, REGSAM access,
                              HKEY* key, DWORD* disposition) {
    return RegCreateKeyExA(root, subKey, 0, keyClass, options, access, nullptr, key, disposition);
}

LONG Win32Registry::QueryValue(HKEY key, LPCSTR name, DWORD* type, BYTE* data, DWORD* size) {
    return RegQueryValueExA(key, name, nullptr, type, data, size);
}

LONG Win32Registry::SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) {
    return RegSetValueExA(key, name, 0, type, data, size);
}

LONG Win32Registry::CloseKey(HKEY key) { return RegCloseKey(key); }
