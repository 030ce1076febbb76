// The registry port over the real ANSI registry functions.
#pragma once

#include "settings/registry_port.h"

class Win32Registry : public RegistryPort {
public:
    LONG CreateKey(HKEY root, LPCSTR subKey, LPSTR keyClass, DWORD options, REGSAM access, HKEY* key,
                   DWORD* disposition) override;
    LONG QueryValue(HKEY key, LPCSTR name, DWORD* type, BYTE* data, DWORD* size) override;
    LONG SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) override;
    LONG CloseKey(HKEY key) override;
};
