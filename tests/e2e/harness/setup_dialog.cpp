// Reading and driving the dialog's controls across processes.
#include "setup_dialog.h"

namespace {
const int kCheckables[] = {kHal,    kMmx,    kRgb, kExecSingle, kColor8, kExecDual, kColor16, kColor24,
                           kColor32, kZ8, kZ16, kZ24,       kZ32,    k3DNow,    kNoArgb1555};
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool IsChecked(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::vector<int> CheckedControls(HWND dialog) {
    std::vector<int> checked;
    for (int id : kCheckables) {
        if (IsChecked(dialog, id)) checked.push_back(id);
    }
    return checked;
}

std::vector<std::string> ListLines(HWND dialog) {
    HWND list = GetDlgItem(dialog, kDeviceList);
    std::vector<std::string> lines;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
        std::string line(length > 0 ? length + 1 : 1, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]));
        line.resize(length > 0 ? length : 0);
        lines.push_back(line);
    }
    return lines;
}

void SelectLine(HWND dialog, int index) { SendMessageA(GetDlgItem(dialog, kDeviceList), LB_SETCURSEL, index, 0); }

int FocusedControl(HWND dialog) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) || info.hwndFocus == nullptr) return 0;
    return GetDlgCtrlID(info.hwndFocus);
}
