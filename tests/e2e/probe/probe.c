/* The probe the window icon test hooks into the tool's GUI thread. A WH_CALLWNDPROC
   hook runs in the thread that receives a sent message, so it asks the dialog for its
   icons and makes it paint from inside the tool's process, where Wine answers
   WM_GETICON and WM_QUERYDRAGICON, records the tool's own DrawIcon calls and reads how
   the tool's thread sees DPI. */
#include "probe.h"

typedef BOOL(WINAPI *DrawIconFn)(HDC, int, int, HICON);

static ProbeReport *s_report;  /* set while a command runs */
static DrawIconFn s_realDrawIcon;

static BOOL WINAPI RecordDrawIcon(HDC dc, int x, int y, HICON icon) {
    s_report->drawCalls++;
    s_report->drawDc = (DWORD)(UINT_PTR)dc;
    s_report->drawX = x;
    s_report->drawY = y;
    s_report->drawIcon = (DWORD)(UINT_PTR)icon;
    return s_realDrawIcon(dc, x, y, icon);
}

/* The main module's import slot for user32's DrawIcon, found by name, or NULL. */
static FARPROC *DrawIconSlot(void) {
    BYTE *base = (BYTE *)GetModuleHandleA(NULL);
    IMAGE_NT_HEADERS *nt = (IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    IMAGE_IMPORT_DESCRIPTOR *dll;
    for (dll = (IMAGE_IMPORT_DESCRIPTOR *)(base + imports); imports != 0 && dll->Name != 0; ++dll) {
        IMAGE_THUNK_DATA *name = (IMAGE_THUNK_DATA *)(base + dll->OriginalFirstThunk);
        FARPROC *slot = (FARPROC *)(base + dll->FirstThunk);
        if (lstrcmpiA((char *)base + dll->Name, "user32.dll") != 0 || dll->OriginalFirstThunk == 0) continue;
        for (; name->u1.AddressOfData != 0; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
            if (lstrcmpA((char *)((IMAGE_IMPORT_BY_NAME *)(base + name->u1.AddressOfData))->Name, "DrawIcon") == 0)
                return slot;
        }
    }
    return NULL;
}

static void SetSlot(FARPROC *slot, FARPROC value) {
    DWORD old;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return;
    *slot = value;
    VirtualProtect(slot, sizeof *slot, old, &old);
}

static void ReadIcons(HWND dialog, ProbeReport *report) {
    ICONINFO info;
    BITMAP bitmap;
    report->bigIcon = (DWORD)SendMessageA(dialog, WM_GETICON, ICON_BIG, 0);
    report->smallIcon = (DWORD)SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0);
    report->dragIcon = (DWORD)SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0);
    /* A shared icon: the same module and group give the handle the tool itself loaded. */
    report->groupIcon = (DWORD)(UINT_PTR)LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(128));
    if (!GetIconInfo((HICON)(UINT_PTR)report->bigIcon, &info)) return;
    if (info.hbmColor != NULL && GetObjectA(info.hbmColor, sizeof bitmap, &bitmap) == sizeof bitmap) {
        report->iconWidth = bitmap.bmWidth;
        report->iconHeight = bitmap.bmHeight;
    }
    if (info.hbmColor != NULL) DeleteObject(info.hbmColor);
    if (info.hbmMask != NULL) DeleteObject(info.hbmMask);
}

/* One WM_PAINT sent straight to the dialog: under Wine a minimised window's update region
   may be empty, so none would come. The dialog is invalidated first: a WM_PAINT that
   reaches BeginPaint and EndPaint leaves no update region behind. */
static void Paint(HWND dialog, ProbeReport *report) {
    FARPROC *slot = DrawIconSlot();
    RECT client;
    if (slot == NULL) return;
    s_realDrawIcon = (DrawIconFn)*slot;
    SetSlot(slot, (FARPROC)RecordDrawIcon);
    report->patched = *slot == (FARPROC)RecordDrawIcon;
    InvalidateRect(dialog, NULL, FALSE);
    SendMessageA(dialog, WM_PAINT, 0, 0);
    SetSlot(slot, (FARPROC)s_realDrawIcon);
    report->leftInvalid = GetUpdateRect(dialog, NULL, FALSE);
    GetClientRect(dialog, &client);
    report->clientWidth = client.right - client.left;
    report->clientHeight = client.bottom - client.top;
    report->cxIcon = GetSystemMetrics(SM_CXICON);
    report->cyIcon = GetSystemMetrics(SM_CYICON);
}

typedef HANDLE(WINAPI *ContextFn)(void);
typedef int(WINAPI *AwarenessFn)(HANDLE);
typedef BOOL(WINAPI *EqualFn)(HANDLE, HANDLE);
typedef HRESULT(WINAPI *ProcessAwarenessFn)(HANDLE, int *);

/* The DPI calls of Windows 8.1 and 10 through GetProcAddress, and the dialog's layout. */
static void ReadDpi(HWND dialog, ProbeReport *report) {
    HMODULE user32 = GetModuleHandleA("user32.dll"), shcore = LoadLibraryA("shcore.dll");
    ContextFn context = (ContextFn)GetProcAddress(user32, "GetThreadDpiAwarenessContext");
    AwarenessFn awareness = (AwarenessFn)GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext");
    EqualFn equal = (EqualFn)GetProcAddress(user32, "AreDpiAwarenessContextsEqual");
    ProcessAwarenessFn process = shcore ? (ProcessAwarenessFn)GetProcAddress(shcore, "GetProcessDpiAwareness") : NULL;
    int value = -1;
    HFONT font = (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0);
    LOGFONTA logFont;
    RECT client, control;
    HWND child;
    report->processAwareness = process && process(NULL, &value) == S_OK ? value : -1;
    report->threadAwareness = context && awareness ? awareness(context()) : -1;
    report->perMonitorV2 = context && equal && equal(context(), (HANDLE)(LONG_PTR)-4);
    report->fontHeight = font && GetObjectA(font, sizeof logFont, &logFont) ? logFont.lfHeight : 0;
    GetClientRect(dialog, &client);
    MapWindowPoints(dialog, NULL, (POINT *)&client, 2);
    for (child = GetWindow(dialog, GW_CHILD); child != NULL; child = GetWindow(child, GW_HWNDNEXT)) {
        GetWindowRect(child, &control);
        report->controls++;
        if (control.left < client.left || control.top < client.top || control.right > client.right ||
            control.bottom > client.bottom)
            report->controlsOutside++;
    }
    if (shcore != NULL) FreeLibrary(shcore);
}

/* The entry point: the probe links no C runtime and keeps no state that needs setting up. */
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    (void)module;
    (void)reason;
    (void)reserved;
    return TRUE;
}

__declspec(dllexport) LRESULT CALLBACK probeHookProc(int code, WPARAM wParam, LPARAM lParam) {
    static UINT command;
    const CWPSTRUCT *sent = (const CWPSTRUCT *)lParam;
    if (command == 0) command = RegisterWindowMessageA(PROBE_MESSAGE);
    if (code == HC_ACTION && sent->message == WM_ICONERASEBKGND && s_report != NULL) {
        s_report->eraseCount++;
        s_report->eraseWParam = (DWORD)sent->wParam;
        s_report->eraseLParam = (DWORD)sent->lParam;
        s_report->drawsBeforeErase = s_report->drawCalls;
    } else if (code == HC_ACTION && sent->message == command && s_report == NULL) {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, PROBE_REPORT);
        ProbeReport *report = mapping ? (ProbeReport *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0) : NULL;
        if (report != NULL) {
            s_report = report;
            ReadIcons(sent->hwnd, report);
            if (sent->wParam == PROBE_PAINT) Paint(sent->hwnd, report);
            if (sent->wParam == PROBE_DPI) ReadDpi(sent->hwnd, report);
            report->done = (DWORD)sent->wParam;
            s_report = NULL;
            UnmapViewOfFile(report);
        }
        if (mapping != NULL) CloseHandle(mapping);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}
