// The running tool's dialog, seen and driven from the test process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Control ids of the setup dialog, written out here so the tests do not read the product's own header.
enum : int {
    kSave = 1,
    kCancel = 2,
    kHal = 1007,
    kMmx = 1008,
    kRgb = 1009,
    kExecSingle = 1011,
    kColor8 = 1012,
    kExecDual = 1013,
    kColor16 = 1014,
    kColor24 = 1015,
    kColor32 = 1016,
    kZ8 = 1017,
    kZ16 = 1018,
    kZ24 = 1019,
    kZ32 = 1020,
    k3DNow = 1021,
    kNoArgb1555 = 1022,
    kDeviceList = 1026,
};

// A click through the platform: the control's own BM_CLICK, as the mouse makes it.
void Click(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
// The ids of all check boxes and radio buttons that show a check mark, in id order.
std::vector<int> CheckedControls(HWND dialog);
std::vector<std::string> ListLines(HWND dialog);
void SelectLine(HWND dialog, int index);
// The id of the control that has the keyboard focus in the tool's thread, or 0.
int FocusedControl(HWND dialog);

// A message box's text, read in UTF-16 from its static (id 0xFFFF).
std::wstring BoxText(HWND box);
// The system's text for an error code, as FormatMessage gives it here, under the same Wine
// and locale as the tool, less the line break it ends in.
std::wstring SystemText(DWORD error);
