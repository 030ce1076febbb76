// The fake key: values by name, answers shaped like RegQueryValueExA's.
#include "fake_registry.h"

#include <algorithm>
#include <sstream>

namespace {

HKEY const kKey = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x4B0));
const LONG kInvalidHandle = 6;

}  // namespace

std::ostream& operator<<(std::ostream& out, const RegValue& value) {
    out << "type " << value.type << " bytes {";
    for (BYTE b : value.bytes) out << ' ' << int(b);
    return out << " }";
}

void FakeRegistry::PutDword(const std::string& name, DWORD value) {
    values[name] = {REG_DWORD, {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)}};
}

bool FakeRegistry::Record(const std::string& call, HKEY key) {
    trace.push_back(key == kKey ? call : call + " (wrong key)");
    return key == kKey;
}

LONG FakeRegistry::CreateKey(HKEY root, LPCSTR subKey, LPSTR keyClass, DWORD options, REGSAM access, HKEY* key,
                             DWORD* disposition) {
    std::ostringstream call;
    call << "CreateKey " << (root == HKEY_CURRENT_USER ? "HKCU " : "another root ") << subKey << " ["
         << (keyClass ? keyClass : "") << "] " << options << " 0x" << std::hex << std::uppercase << access;
    trace.push_back(call.str());
    if (createKeyError != ERROR_SUCCESS) return createKeyError;
    if (refuseLeadingBackslash && subKey[0] == '\\') return ERROR_BAD_PATHNAME;
    if (writeAccessError != ERROR_SUCCESS && (access & ~grantedAccess) != 0) return writeAccessError;
    m_readOnly = (access & KEY_SET_VALUE) == 0;
    *key = kKey;
    if (disposition) *disposition = 1;  // REG_CREATED_NEW_KEY
    return ERROR_SUCCESS;
}

LONG FakeRegistry::QueryValue(HKEY key, LPCSTR name, DWORD* type, BYTE* data, DWORD* size) {
    if (!Record(std::string("Query ") + name, key)) return kInvalidHandle;
    const auto found = values.find(name);
    if (found == values.end()) return ERROR_FILE_NOT_FOUND;
    const RegValue& value = found->second;
    const DWORD room = *size;
    if (type) *type = value.type;
    *size = DWORD(value.bytes.size());
    if (data == nullptr) return ERROR_SUCCESS;
    // Too large: the real size and type come back, the buffer stays as it was.
    if (value.bytes.size() > room) return ERROR_MORE_DATA;
    std::copy(value.bytes.begin(), value.bytes.end(), data);
    return ERROR_SUCCESS;
}

LONG FakeRegistry::SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) {
    const int index = m_setCalls++;
    if (!Record(std::string("Set ") + name, key)) return kInvalidHandle;
    if (m_readOnly) return ERROR_ACCESS_DENIED;
    if (name == failSetName || index == failSetIndex) return ERROR_ACCESS_DENIED;
    if (index < int(setErrors.size()) && setErrors[index] != ERROR_SUCCESS) return setErrors[index];
    values[name] = {type, std::vector<BYTE>(data, data + size)};
    return ERROR_SUCCESS;
}

LONG FakeRegistry::CloseKey(HKEY key) { return Record("Close", key) ? ERROR_SUCCESS : kInvalidHandle; }
