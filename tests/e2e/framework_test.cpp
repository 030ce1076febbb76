// The framework's window objects, in a process without the tool: each subclassed window
// reaches its own object whatever came and went before it, one object per window and one
// window per object, a handler's result comes back through its typed row, Default()
// processes the message its handler is handling, a modal loop ends with its window and
// takes no second one, "Save" and "Cancel" reach a dialog's overrides, and a dialog opens
// on the monitor that holds the pointer.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <vector>

#include "afx/afxwin.h"

LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);

namespace {

std::vector<UINT> s_reachedOwnProcedure;  // WM_PAINT and WM_QUERYDRAGICON, in order

LRESULT CALLBACK OwnProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT || message == WM_QUERYDRAGICON) s_reachedOwnProcedure.push_back(message);
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

class CTestWnd : public CWnd {
public:
    static HWND NewWindow() {
        static const WNDCLASSA windowClass = {0, &OwnProcedure, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr,
                                              nullptr, nullptr, "FrameworkTest"};
        RegisterClassA(&windowClass);
        return CreateWindowA("FrameworkTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr),
                             nullptr);
    }
    void Create() { Take(NewWindow()); }
    bool Take(HWND hWnd) { return SubclassCreatedWindow(hWnd); }

protected:
    // Asks its own window a nested question first, then lets the paint go on.
    void OnPaint() {
        SendMessageA(m_hWnd, WM_QUERYDRAGICON, 0, 0);
        Default();
    }
    HCURSOR OnQueryDragIcon() {
        Default();
        return reinterpret_cast<HCURSOR>(this);
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

TEST(WindowObject, EachWindowReachesItsOwnObjectAfterOthersCameAndWent) {
    CTestWnd first, middle, last, later;
    first.Create();
    middle.Create();
    last.Create();
    DestroyWindow(middle.m_hWnd);
    later.Create();
    EXPECT_EQ(middle.m_hWnd, nullptr);
    for (CTestWnd* wnd : {&first, &last, &later}) {
        EXPECT_EQ(SendMessageA(wnd->m_hWnd, WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(wnd))
            << (wnd == &first ? "first" : wnd == &last ? "last" : "later");
    }
    for (CTestWnd* wnd : {&first, &last, &later}) DestroyWindow(wnd->m_hWnd);
}

// A second object for a window, a second window for an object, the desktop window (no
// program may take it): each refused, and the window keeps its object. The refused object
// that is gone is overwritten, so that an entry of it left in the list leads nowhere.
TEST(WindowObject, SubclassIsRefusedForATakenWindowATakenObjectOrAWindowItCannotTake) {
    CTestWnd first, second;
    first.Create();
    const HWND taken = first.m_hWnd, other = CTestWnd::NewWindow();
    alignas(CTestWnd) unsigned char gone[sizeof(CTestWnd)];
    EXPECT_FALSE(second.Take(taken));
    EXPECT_FALSE(first.Take(other));
    EXPECT_FALSE((new (gone) CTestWnd)->Take(GetDesktopWindow()));
    reinterpret_cast<CTestWnd*>(gone)->~CTestWnd();
    memset(gone, 0xFF, sizeof gone);
    EXPECT_EQ(SendMessageA(taken, WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(&first));
    DestroyWindow(taken);
    DestroyWindow(other);
}

TEST(WindowObject, DefaultAfterANestedMessageProcessesTheOuterOne) {
    CTestWnd wnd;
    wnd.Create();
    s_reachedOwnProcedure.clear();
    SendMessageA(wnd.m_hWnd, WM_PAINT, 0, 0);
    EXPECT_EQ(s_reachedOwnProcedure, (std::vector<UINT>{WM_QUERYDRAGICON, WM_PAINT}));
    DestroyWindow(wnd.m_hWnd);
}

// "Save" destroys the window instead of ending the dialog, sent from another thread: the
// handler runs inside the loop's wait for a message.
class CDestroyingDialog : public CDialog {
public:
    CDestroyingDialog() : CDialog(1) {}
    BOOL OnInitDialog() override {
        CloseHandle(CreateThread(nullptr, 0, &ClickSave, m_hWnd, 0, nullptr));
        return TRUE;
    }

protected:
    static DWORD WINAPI ClickSave(LPVOID hWnd) {
        SendMessageA(static_cast<HWND>(hWnd), WM_COMMAND, IDOK, 0);
        return 0;
    }
    void OnSaveDestroys() { DestroyWindow(m_hWnd); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDestroyingDialog, CDialog)
    ON_COMMAND(IDOK, OnSaveDestroys)
END_MESSAGE_MAP()

TEST(ModalDialog, EndsWithMinusOneWhenAHandlerDestroysItsWindow) {
    CDestroyingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), -1);
}

// "Save" and "Cancel" reach a dialog's own OnOK and OnCancel through the framework's rows,
// declared as applications on the framework declare them.
class COverridingDialog : public CDialog {
public:
    explicit COverridingDialog(UINT command) : CDialog(1), m_command(command) {}
    BOOL OnInitDialog() override {
        PostMessageA(m_hWnd, WM_COMMAND, m_command, 0);
        return TRUE;
    }
    virtual void OnOK() { EndDialog(10); }
    virtual void OnCancel() { EndDialog(20); }

private:
    UINT m_command;
};

TEST(ModalDialog, SaveAndCancelReachTheDialogsOwnHandlers) {
    EXPECT_EQ(COverridingDialog(IDOK).DoModal(), 10);
    EXPECT_EQ(COverridingDialog(IDCANCEL).DoModal(), 20);
}

// DoModal again while the dialog runs: the object, which has a window, refuses the second,
// which is destroyed at once and starts nothing; the first runs on to its "Cancel".
class CReenteringDialog : public CDialog {
public:
    CReenteringDialog() : CDialog(1) {}
    BOOL OnInitDialog() override {
        PostMessageA(m_hWnd, WM_COMMAND, IDCANCEL, 0);
        if (++m_starts == 1) m_second = DoModal();
        return TRUE;
    }
    int m_starts = 0;
    INT_PTR m_second = 0;
};

BOOL CALLBACK CountDialogs(HWND hWnd, LPARAM count) {
    char name[8];
    if (GetClassNameA(hWnd, name, sizeof name) && strcmp(name, "#32770") == 0) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST(ModalDialog, ASecondWindowTheObjectRefusesIsDestroyedAtOnce) {
    CReenteringDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_second, -1);
    EXPECT_EQ(dialog.m_starts, 1);
    int left = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountDialogs, reinterpret_cast<LPARAM>(&left));
    EXPECT_EQ(left, 0);
}

// This program's import slot for a user32 function: the framework's calls go through it.
FARPROC* User32Slot(const char* name) {
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); imports && dll->Name; ++dll) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + dll->Name), "user32.dll") != 0) continue;
        auto* slot = reinterpret_cast<FARPROC*>(base + dll->FirstThunk);
        for (auto* entry = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
             entry->u1.AddressOfData != 0; ++entry, ++slot) {
            if (!IMAGE_SNAP_BY_ORDINAL(entry->u1.Ordinal) &&
                strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + entry->u1.AddressOfData)->Name, name) == 0)
                return slot;
        }
    }
    return nullptr;
}

// Has the framework call a stand-in for a user32 function while it lives; real is the function.
struct StandIn {
    StandIn(const char* name, FARPROC standIn) : slot(User32Slot(name)), real(slot ? *slot : nullptr) {
        Set(standIn);
    }
    ~StandIn() { Set(real); }
    void Set(FARPROC to) {
        DWORD old;
        if (slot != nullptr && VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) {
            *slot = to;
            VirtualProtect(slot, sizeof *slot, old, &old);
        }
    }
    FARPROC* const slot;
    const FARPROC real;
};

// A second monitor right of a 1024 x 768 primary one, with a 40-pixel task bar at its foot:
// the pointer is on it, no other monitor answers, and the first move onto it rescales a
// window to 3/2 of its size, as the system does on a monitor of 144 DPI beside one of 96.
const HMONITOR kSecondMonitor = reinterpret_cast<HMONITOR>(0x5EC0);
FARPROC s_setWindowPos;
bool s_rescaled;

BOOL WINAPI PointerOnSecond(POINT* at) { return *at = {1500, 300}, TRUE; }
HMONITOR WINAPI MonitorAt(POINT at, DWORD) { return at.x >= 1024 ? kSecondMonitor : nullptr; }
BOOL WINAPI InfoOf(HMONITOR monitor, MONITORINFO* info) {
    info->rcMonitor = {1024, 0, 2048, 768}, info->rcWork = {1024, 0, 2048, 728}, info->dwFlags = 0;
    return monitor == kSecondMonitor;
}
BOOL WINAPI MoveRescaling(HWND hWnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    RECT now;
    if (x >= 1024 && !s_rescaled && GetWindowRect(hWnd, &now)) {
        s_rescaled = true;
        cx = (now.right - now.left) * 3 / 2, cy = (now.bottom - now.top) * 3 / 2, flags &= ~SWP_NOSIZE;
    }
    return reinterpret_cast<decltype(&SetWindowPos)>(s_setWindowPos)(hWnd, after, x, y, cx, cy, flags);
}

class CPlacedDialog : public CDialog {
public:
    CPlacedDialog() : CDialog(1) {}
    BOOL OnInitDialog() override {
        GetWindowRect(m_hWnd, &m_placed);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    RECT m_placed = {};
};

TEST(ModalDialog, OpensCentredOnTheWorkAreaOfTheMonitorThatHoldsThePointer) {
    StandIn pointer("GetCursorPos", reinterpret_cast<FARPROC>(&PointerOnSecond));
    StandIn monitorFromPoint("MonitorFromPoint", reinterpret_cast<FARPROC>(&MonitorAt));
    StandIn getMonitorInfo("GetMonitorInfoA", reinterpret_cast<FARPROC>(&InfoOf));
    StandIn setWindowPos("SetWindowPos", reinterpret_cast<FARPROC>(&MoveRescaling));
    ASSERT_TRUE(pointer.real && monitorFromPoint.real && getMonitorInfo.real && setWindowPos.real)
        << "the framework asks no monitor for the pointer";
    s_setWindowPos = setWindowPos.real, s_rescaled = false;
    CPlacedDialog dialog;
    dialog.DoModal();
    EXPECT_TRUE(s_rescaled);
    EXPECT_NEAR(dialog.m_placed.left + dialog.m_placed.right, 1024 + 2048, 1);
    EXPECT_NEAR(dialog.m_placed.top + dialog.m_placed.bottom, 0 + 728, 1);
}

// On x86-64 a fault in a handler reaches a handler further up only through the unwind entry
// of each frame between them; a 32-bit fault needs none, and the 32-bit build has none.
TEST(WindowObject, WindowProcedureHasAnUnwindEntryOnX86_64) {
#ifdef _WIN64
    DWORD64 base = 0;
    EXPECT_NE(RtlLookupFunctionEntry(reinterpret_cast<DWORD64>(&AfxWndProc), &base, nullptr), nullptr);
#else
    GTEST_SKIP() << "a 32-bit build has no unwind entries";
#endif
}

}  // namespace
