// The four registry operations the settings store needs, shaped like the ANSI
// Win32 calls so that the Windows adapter passes arguments and results straight through.
#pragma once

#include "afx/afxplatform.h"

class RegistryPort {
public:
    virtual ~RegistryPort() = default;
    virtual LONG CreateKey(HKEY root, LPCSTR subKey, LPSTR keyClass, DWORD options, REGSAM access,
                           HKEY* key, DWORD* disposition) = 0;
    virtual LONG QueryValue(HKEY key, LPCSTR name, DWORD* type, BYTE* data, DWORD* size) = 0;
    virtual LONG SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) = 0;
    virtual LONG CloseKey(HKEY key) = 0;
};
