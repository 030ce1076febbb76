// The registry's codes and value types only the tests name, for the host build (<windows.h> has them).
#pragma once

#include "afx/afxplatform.h"

#ifndef _WIN32
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_MORE_DATA 234L
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_DWORD_BIG_ENDIAN 5
#define REG_MULTI_SZ 7
#define REG_QWORD 11
#endif
