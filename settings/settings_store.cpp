// Reads and writes the ten values of HKCU\Software\Ostrand\Varek 3D.
#include "settings/settings_store.h"

#include <cstring>

namespace {

// The path is written with a leading backslash, the form the key has always been
// opened with. NT-family Windows and Wine refuse that form with ERROR_BAD_PATHNAME;
// the same path without the backslash names the same key, so Open retries with it.
const char kKeyPath[] = "\\Software\\Ostrand\\Varek 3D";
// Not const: RegCreateKeyExA takes the class as LPSTR, though it only reads it.
char s_keyClass[] = "Varek 3D";

}  // namespace

SettingsStore::SettingsStore(RegistryPort& registry)
    : m_registry(registry), m_key(nullptr), m_open(false) {}

bool SettingsStore::Open() {
    DWORD disposition = 0;  // created or opened: either is fine
    HKEY key = nullptr;
    LONG rc = m_registry.CreateKey(HKEY_CURRENT_USER, kKeyPath, s_keyClass, REG_OPTION_NON_VOLATILE,
                                   KEY_ALL_ACCESS, &key, &disposition);
    if (rc == ERROR_BAD_PATHNAME) {
        rc = m_registry.CreateKey(HKEY_CURRENT_USER, kKeyPath + 1, s_keyClass, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, &key, &disposition);
    }
    m_open = rc == ERROR_SUCCESS;
    m_key = m_open ? key : nullptr;
    return m_open;
}

void SettingsStore::Load(RenderSettings& settings) {
    for (int i = 0; i < kLoadedDwordCount; ++i) {
        const StoredDword& stored = kStoredDwords[i];
        DWORD value = 0;
        DWORD type = REG_NONE;
        DWORD size = sizeof value;
        // Only an exact 4-byte REG_DWORD is a number; anything else (a string, a
        // big-endian or short DWORD, a larger value) leaves the field at its default.
        const bool usable = m_open &&
                            m_registry.QueryValue(m_key, stored.name, &type, reinterpret_cast<BYTE*>(&value),
                                                  &size) == ERROR_SUCCESS &&
                            type == REG_DWORD && size == sizeof value;
        settings.*stored.field = usable ? value : stored.loadDefault;
    }
}

void SettingsStore::Save(const RenderSettings& settings) {
    if (!m_open) return;
    // Every write is attempted; a failed one must not cost the values after it.
    for (const StoredDword& stored : kStoredDwords) WriteDword(stored.name, settings.*stored.field);
    (void)m_registry.SetValue(m_key, kDeviceIdValueName, REG_BINARY,
                              reinterpret_cast<const BYTE*>(&settings.DirectDrawDeviceId),
                              sizeof settings.DirectDrawDeviceId);
}

void SettingsStore::Close() {
    if (!m_open) return;
    (void)m_registry.CloseKey(m_key);
    m_open = false;
    m_key = nullptr;
}

void SettingsStore::WriteDword(LPCSTR name, DWORD value) {
    BYTE bytes[4];
    std::memcpy(bytes, &value, sizeof bytes);  // little-endian on every platform the tool runs on
    (void)m_registry.SetValue(m_key, name, REG_DWORD, bytes, sizeof bytes);
}
