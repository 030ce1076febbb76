// The tool's registry key: opened before the dialog, loaded into the record,
// saved after "Save", closed at the end.
#pragma once

#include "settings/registry_port.h"
#include "settings/render_settings.h"

class SettingsStore {
public:
    explicit SettingsStore(RegistryPort& registry);

    // True when the key is open for writing: with full access, or where that is refused,
    // for reading and setting values. A key that cannot be opened for writing is opened
    // for reading values, so that the dialog still shows what is stored.
    bool Open();
    void Load(RenderSettings& settings);  // defaults where a value cannot be used
    // Writes all ten values and returns the first failure's code, or ERROR_SUCCESS.
    // A key not open for writing is a failure too: its open's code, nothing written;
    // before Open and after Close there is no key at all: ERROR_INVALID_HANDLE, as the
    // registry answers a write through a closed key. *written, when asked for, gets how
    // many values the registry took, so that a failed save can tell some from none.
    LONG Save(const RenderSettings& settings, int* written = nullptr);
    void Close();  // only a key that Open opened

private:
    LONG CreateKey(REGSAM access, HKEY* key);
    LONG WriteDword(LPCSTR name, DWORD value);

    RegistryPort& m_registry;
    HKEY m_key;
    bool m_open;
    bool m_writable;
    LONG m_openError;  // why no key is open for writing
};
