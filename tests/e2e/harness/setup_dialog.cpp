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
    // Asked in UTF-16: Wine 8 crashes the sender of a cross-process LB_GETTEXT in its
    // ANSI form. The lines come back in the code page the tool wrote them in.
    HWND list = GetDlgItem(dialog, kDeviceList);
    std::vector<std::string> lines;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::wstring wide(length > 0 ? length + 1 : 1, L'\0');
        const LRESULT got = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&wide[0]));
        wide.resize(got > 0 ? got : 0);
        std::string line(wide.size() * 2 + 1, '\0');
        const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &line[0],
                                              static_cast<int>(line.size()), nullptr, nullptr);
        line.resize(bytes > 0 ? bytes : 0);
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

std::wstring BoxText(HWND box) {
    wchar_t text[2048] = L"";
    GetDlgItemTextW(box, 0xFFFF, text, 2048);
    return text;
}

std::wstring SystemText(DWORD error) {
    wchar_t text[1024] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, 1024, nullptr);
    std::wstring reason = text;
    if (reason.size() >= 2 && reason.compare(reason.size() - 2, 2, L"\r\n") == 0) reason.resize(reason.size() - 2);
    return reason;
}
