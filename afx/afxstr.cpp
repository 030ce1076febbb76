// CString: text on the framework heap, zero-terminated, with its length counted.
#include "afx/afxstr.h"

#include <cstring>

#include "afx/afxheap.h"

namespace {
char s_empty[1] = {'\0'};
}

CString::CString() : m_data(s_empty), m_length(0), m_valid(true) {}

CString::CString(const CString& other) : CString() { *this = other; }

CString::~CString() {
    if (m_data != s_empty) AfxRelease(m_data);
}

CString& CString::operator=(const char* text) {
    if (text == nullptr) text = "";
    if (text == m_data) return *this;
    const std::size_t length = std::strlen(text);
    char* block = static_cast<char*>(AfxAllocate(length + 1));
    if (block == nullptr) {
        m_valid = false;
        return *this;
    }
    std::memcpy(block, text, length + 1);
    if (m_data != s_empty) AfxRelease(m_data);
    m_data = block;
    m_length = length;
    m_valid = true;
    return *this;
}

CString& CString::operator=(const CString& other) {
    if (&other != this) {
        *this = other.m_data;
        m_valid = m_valid && other.m_valid;
    }
    return *this;
}

CString& CString::operator+=(const char* text) {
    if (text == nullptr) text = "";
    if (!Append(text, std::strlen(text))) m_valid = false;
    return *this;
}

CString& CString::operator+=(const CString& other) {
    // Copy the length first: other may be this string itself.
    if (!Append(other.m_data, other.m_length)) m_valid = false;
    m_valid = m_valid && other.m_valid;
    return *this;
}

bool CString::Append(const char* text, std::size_t length) {
    if (length == 0) return true;
    char* block = static_cast<char*>(AfxAllocate(m_length + length + 1));
    if (block == nullptr) return false;
    std::memcpy(block, m_data, m_length);
    std::memcpy(block + m_length, text, length);
    block[m_length + length] = '\0';
    if (m_data != s_empty) AfxRelease(m_data);
    m_data = block;
    m_length += length;
    return true;
}

CString operator+(const CString& left, const char* right) {
    CString result(left);
    result += right;
    return result;
}

CString operator+(const CString& left, const CString& right) {
    CString result(left);
    result += right;
    return result;
}
