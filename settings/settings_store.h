// The tool's registry key: opened before the dialog, loaded into the record,
// saved after "Save", closed at the end.
#pragma once

#include "settings/registry_port.h"
#include "settings/render_settings.h"

class SettingsStore {
public:
    explicit SettingsStore(RegistryPort& registry);

    bool Open();                                   // true when the key is open
    void Load(RenderSettings& settings);           // defaults where a value cannot be used
    void Save(const RenderSettings& settings);     // all ten values; nothing after a failed Open
    void Close();                                  // only a key that Open opened

private:
    void WriteDword(LPCSTR name, DWORD value);

    RegistryPort& m_registry;
    HKEY m_key;
    bool m_open;
};
