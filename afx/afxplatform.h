// The few Windows types and constants that the host-testable logic uses.
// On Windows they come from <windows.h>; the native Linux build defines them
// here with Windows' sizes and values so the same sources compile on both.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int BOOL;
typedef intptr_t LRESULT;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef DWORD REGSAM;
typedef LONG HRESULT;
typedef struct HKEY__* HKEY;

typedef struct _GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
} GUID;

#define WINAPI
#define CALLBACK
#define TRUE 1

#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000001u)))
#define ERROR_SUCCESS 0L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_BAD_PATHNAME 161L
#define REG_NONE 0
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_OPTION_NON_VOLATILE 0
#define KEY_ALL_ACCESS 0xF003F
#define KEY_READ 0x20019
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#endif

static_assert(sizeof(GUID) == 16, "a GUID is stored as exactly 16 bytes");
static_assert(sizeof(DWORD) == 4, "the settings are 32-bit values");
