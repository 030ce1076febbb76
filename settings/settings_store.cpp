// Reads and writes the ten values of the tool's registry key.
#include "settings/settings_store.h"

#include <cstring>

#include "settings/settings_key.h"

namespace {

// The path is written with a leading backslash, the form the key has always been
// opened with. NT-family Windows and Wine refuse that form with ERROR_BAD_PATHNAME;
// the same path without the backslash names the same key, so Open retries with it.
const char kKeyPath[] = "\\" VAREK_SETTINGS_KEY;
// Not const: RegCreateKeyExA takes the class as LPSTR, though it only reads it.
char s_keyClass[] = "Varek 3D";

}  // namespace

SettingsStore::SettingsStore(RegistryPort& registry)
    : m_registry(registry), m_key(nullptr), m_open(false), m_writable(false), m_openError(ERROR_INVALID_HANDLE) {}

bool SettingsStore::Open() {
    HKEY key = nullptr;
    m_openError = CreateKey(KEY_ALL_ACCESS, &key);
    // Full access also asks for rights over the key itself (to delete it, to change its
    // security or owner), which a key can refuse while it lets values be set: reading
    // and setting values is all the store does.
    if (m_openError == ERROR_ACCESS_DENIED) m_openError = CreateKey(KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
    m_writable = m_openError == ERROR_SUCCESS;
    // Read access creates nothing that full access could not: it only opens a key that
    // exists but refuses writing (a read-only security descriptor, say). It asks for
    // reading values alone, all Load does: a key may grant that and nothing more.
    m_open = m_writable || CreateKey(KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
    m_key = m_open ? key : nullptr;
    return m_writable;
}

LONG SettingsStore::CreateKey(REGSAM access, HKEY* key) {
    DWORD disposition = 0;  // created or opened: either is fine
    LONG rc = m_registry.CreateKey(HKEY_CURRENT_USER, kKeyPath, s_keyClass, REG_OPTION_NON_VOLATILE, access, key,
                                   &disposition);
    if (rc == ERROR_BAD_PATHNAME) {
        rc = m_registry.CreateKey(HKEY_CURRENT_USER, kKeyPath + 1, s_keyClass, REG_OPTION_NON_VOLATILE, access, key,
                                  &disposition);
    }
    return rc;
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

LONG SettingsStore::Save(const RenderSettings& settings, int* written) {
    // Every write is attempted; a failed one must not cost the values after it. Only a
    // write that the registry answered with success counts as written.
    LONG first = m_writable ? ERROR_SUCCESS : m_openError;
    int taken = 0;
    const auto record = [&](LONG rc) {
        if (rc == ERROR_SUCCESS) ++taken;
        if (first == ERROR_SUCCESS) first = rc;
    };
    if (m_writable) {
        for (const StoredDword& stored : kStoredDwords) record(WriteDword(stored.name, settings.*stored.field));
        record(m_registry.SetValue(m_key, kDeviceIdValueName, REG_BINARY,
                                   reinterpret_cast<const BYTE*>(&settings.DirectDrawDeviceId),
                                   sizeof settings.DirectDrawDeviceId));
    }
    if (written != nullptr) *written = taken;
    return first;
}

void SettingsStore::Close() {
    m_openError = ERROR_INVALID_HANDLE;
    if (!m_open) return;
    (void)m_registry.CloseKey(m_key);
    m_open = false;
    m_writable = false;
    m_key = nullptr;
}

LONG SettingsStore::WriteDword(LPCSTR name, DWORD value) {
    BYTE bytes[4];
    std::memcpy(bytes, &value, sizeof bytes);  // little-endian on every platform the tool runs on
    return m_registry.SetValue(m_key, name, REG_DWORD, bytes, sizeof bytes);
}
