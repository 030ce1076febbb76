// CString: the framework's counted 8-bit string, with the few operations the tool uses.
#pragma once

#include <cstddef>

class CString {
public:
    CString();
    CString(const CString& other);
    ~CString();

    // Assignment copies the text; when memory runs out the string keeps its old text
    // and IsValid() turns false, so a caller can tell a short copy from a real one.
    CString& operator=(const char* text);
    CString& operator=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(const CString& other);

    operator const char*() const { return m_data; }
    std::size_t GetLength() const { return m_length; }
    bool IsValid() const { return m_valid; }

private:
    bool Append(const char* text, std::size_t length);

    char* m_data;          // never null: points at s_empty or at a heap block
    std::size_t m_length;
    bool m_valid;
};

CString operator+(const CString& left, const char* right);
CString operator+(const CString& left, const CString& right);
