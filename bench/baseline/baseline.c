/* The yardstick for the tool's start-up: only the platform work a settings dialog of
   this kind cannot avoid. It opens the settings key and reads one value, asks
   DirectDraw for its devices, shows a dialog from its template with one line per
   device, and waits until the dialog is closed. */
#include <windows.h>
#include <ddraw.h>

#include "resource.h"

static BOOL WINAPI AddDeviceLine(GUID *guid, LPSTR description, LPSTR name, LPVOID list) {
    (void)guid;
    (void)name;
    SendMessageA((HWND)list, LB_ADDSTRING, 0, (LPARAM)description);
    return TRUE;
}

static INT_PTR CALLBACK BaselineDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        DirectDrawEnumerateA(AddDeviceLine, GetDlgItem(dialog, IDC_BASELINE_LIST));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    HKEY key;
    DWORD value = 0, type = REG_NONE, size = sizeof value;
    (void)previous;
    (void)commandLine;
    (void)show;
    /* The value read is used by nobody: reading it is the cost being measured. */
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Ostrand\\Varek 3D", 0, NULL, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, NULL, &key, NULL) == ERROR_SUCCESS) {
        RegQueryValueExA(key, "Allow D3D HAL", NULL, &type, (BYTE *)&value, &size);
    } else {
        key = NULL;
    }
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_BASELINE), NULL, BaselineDlgProc, 0);
    if (key != NULL) RegCloseKey(key);
    return 0;
}
