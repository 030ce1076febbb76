// The one failure the tool reports: a "Save" that did not reach the registry.
#pragma once

#include <windows.h>

// One error box naming the key and giving the system's text for the error code.
void ReportFailedSave(LONG error);
