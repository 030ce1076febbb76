// An in-memory registry key that answers like Windows and records every call, so a
// test can compare the trace with the sequence of calls it expects.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "registry_constants.h"
#include "settings/registry_port.h"

struct RegValue {
    DWORD type;
    std::vector<BYTE> bytes;
    bool operator==(const RegValue& other) const { return type == other.type && bytes == other.bytes; }
};
std::ostream& operator<<(std::ostream& out, const RegValue& value);

class FakeRegistry : public RegistryPort {
public:
    // Set up by the test.
    std::map<std::string, RegValue> values;
    LONG createKeyError = ERROR_SUCCESS;  // when set, every CreateKey fails with it
    LONG writeAccessError = ERROR_SUCCESS;  // when set, CreateKey fails with it for more access than granted
    REGSAM grantedAccess = KEY_READ;        // ...the access that writeAccessError leaves granted
    bool refuseLeadingBackslash = true;   // NT and Wine: ERROR_BAD_PATHNAME; Windows 9x: accepted
    std::string failSetName;              // SetValue of this name fails...
    int failSetIndex = -1;                // ...and so does the SetValue call with this 0-based index,
    std::vector<LONG> setErrors;          // ...and call i, with setErrors[i], where that is not ERROR_SUCCESS

    // One line per call: "CreateKey HKCU <path> [<class>] <options> 0x<access>", "Query <name>",
    // "Set <name>", "Close"; a call on any handle but the one CreateKey gave ends in " (wrong key)".
    std::vector<std::string> trace;

    void PutDword(const std::string& name, DWORD value);

    LONG CreateKey(HKEY root, LPCSTR subKey, LPSTR keyClass, DWORD options, REGSAM access, HKEY* key,
                   DWORD* disposition) override;
    LONG QueryValue(HKEY key, LPCSTR name, DWORD* type, BYTE* data, DWORD* size) override;
    LONG SetValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) override;
    LONG CloseKey(HKEY key) override;

private:
    bool Record(const std::string& call, HKEY key);  // false for a wrong handle
    int m_setCalls = 0;
    bool m_readOnly = false;  // the key was opened without KEY_SET_VALUE
};
