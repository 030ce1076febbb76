// The About box: product name, version and copyright line.
#pragma once

#include <windows.h>

void ShowAboutBox(HWND owner);
