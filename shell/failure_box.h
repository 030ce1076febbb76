// The failures the tool reports: a "Save" that did not reach the registry, and an
// instance that could not be brought to the front.
#pragma once

#include <windows.h>

// One error box: what failed (UTF-8), a blank line, and the system's text for the error code.
void ReportFailure(const char* what, DWORD error);
