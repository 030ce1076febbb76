// The registry's error codes and value types that only the tests name, with Windows'
// values, for the host build; on Windows <windows.h> has them.
#pragma once

#include "afx/afxplatform.h"

#ifndef _WIN32
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_MORE_DATA 234L
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_DWORD_BIG_ENDIAN 5
#define REG_MULTI_SZ 7
#define REG_QWORD 11
#endif
