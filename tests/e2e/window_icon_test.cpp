// The dialog's icon seen from inside the tool's process: Wine 8 answers WM_GETICON and
// WM_QUERYDRAGICON only there, and a minimised dialog has an empty client area, so its
// icon never shows on screen. The probe DLL, hooked into the tool's GUI thread, asks
// for the icons and records what one WM_PAINT draws.
#include "harness/tool_test.h"
#include "probe/probe.h"

namespace {
const char kDesktopKey[] = "Control Panel\\Desktop";  // its LogPixels: the DPI Wine 8 and 10 start a process at

// The build puts the probe in probe\ beside the test programs.
std::string ProbePath() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string own(path, length < MAX_PATH ? length : 0);
    return own.substr(0, own.find_last_of('\\')) + "\\probe\\probe.dll";
}

// This test program's own DPI awareness: it declares none, so a Wine that makes it
// per-monitor aware (2) makes every process so, whatever its manifest says.
int OwnDpiAwareness() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    auto context = reinterpret_cast<HANDLE(WINAPI*)()>(GetProcAddress(user32, "GetThreadDpiAwarenessContext"));
    auto awareness =
        reinterpret_cast<int(WINAPI*)(HANDLE)>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext"));
    return context && awareness ? awareness(context()) : -1;
}
}  // namespace

class WindowIcon : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        m_mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ProbeReport),
                                       PROBE_REPORT);
        ASSERT_NE(m_mapping, nullptr);
        m_report = static_cast<ProbeReport*>(MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, 0));
        m_probe = LoadLibraryA(ProbePath().c_str());
        ASSERT_NE(m_probe, nullptr) << ProbePath();
        m_dialog = Launch();
        ASSERT_NE(m_dialog, nullptr);
        // Wine loads the probe into the tool when the hook first runs in its thread.
        const HOOKPROC hook = reinterpret_cast<HOOKPROC>(GetProcAddress(m_probe, "probeHookProc"));
        m_hook = SetWindowsHookExA(WH_CALLWNDPROC, hook, m_probe, GetWindowThreadProcessId(m_dialog, nullptr));
        ASSERT_NE(m_hook, nullptr);
    }

    void TearDown() override {
        if (m_hook != nullptr) UnhookWindowsHookEx(m_hook);
        if (m_probe != nullptr) FreeLibrary(m_probe);
        if (m_report != nullptr) UnmapViewOfFile(m_report);
        if (m_mapping != nullptr) CloseHandle(m_mapping);
        ToolTest::TearDown();
    }

    // Has the probe carry out the command in the tool's thread and returns its report.
    ProbeReport Ask(ProbeCommand command) {
        ZeroMemory(m_report, sizeof *m_report);
        SendMessageA(m_dialog, RegisterWindowMessageA(PROBE_MESSAGE), command, 0);
        EXPECT_EQ(m_report->done, static_cast<DWORD>(command)) << "the probe did not run inside the tool";
        return *m_report;
    }

    bool Minimise(bool on) {
        PostMessageA(m_dialog, WM_SYSCOMMAND, on ? SC_MINIMIZE : SC_RESTORE, 0);
        return WaitUntil([&] { return (IsIconic(m_dialog) != FALSE) == on; }, 5000);
    }

    // Wine's minimised window has an empty client area: (0 - icon + 1) / 2 truncates toward zero.
    static void ExpectIconCentred(const ProbeReport& report, LONG inEmptyClient) {
        if (report.clientWidth == 0 && report.clientHeight == 0) {
            EXPECT_EQ(report.drawX, inEmptyClient);
            EXPECT_EQ(report.drawY, inEmptyClient);
        } else {
            EXPECT_EQ(report.drawX, (report.clientWidth - report.cxIcon + 1) / 2);
            EXPECT_EQ(report.drawY, (report.clientHeight - report.cyIcon + 1) / 2);
        }
    }

    void CancelWritesNothing() {
        Click(m_dialog, kCancel);
        ExpectExit();
        EXPECT_TRUE(ReadToolKey().empty());
    }

    HANDLE m_mapping = nullptr;
    ProbeReport* m_report = nullptr;
    HMODULE m_probe = nullptr;
    HHOOK m_hook = nullptr;
    HWND m_dialog = nullptr;
};

TEST_F(WindowIcon, BigSmallAndDragIconAreTheOne32By32IconOfGroup128) {
    const ProbeReport report = Ask(PROBE_ICONS);
    EXPECT_NE(report.bigIcon, 0u);
    EXPECT_EQ(report.bigIcon, report.groupIcon);
    EXPECT_EQ(report.smallIcon, report.bigIcon);
    EXPECT_EQ(report.dragIcon, report.bigIcon);
    EXPECT_EQ(report.iconWidth, 32);
    EXPECT_EQ(report.iconHeight, 32);
    CancelWritesNothing();
}

TEST_F(WindowIcon, MinimisedPaintErasesThenDrawsTheIconCentredOnThePaintDc) {
    ASSERT_TRUE(Minimise(true));
    const ProbeReport report = Ask(PROBE_PAINT);
    ASSERT_EQ(report.patched, 1u);
    EXPECT_EQ(report.eraseCount, 1u);
    EXPECT_EQ(report.eraseLParam, 0u);
    EXPECT_EQ(report.drawsBeforeErase, 0u);
    EXPECT_EQ(report.drawCalls, 1u);
    EXPECT_NE(report.drawDc, 0u);
    EXPECT_EQ(report.drawDc, report.eraseWParam);
    EXPECT_NE(report.drawIcon, 0u);
    EXPECT_EQ(report.drawIcon, report.bigIcon);
    EXPECT_EQ(report.leftInvalid, 0u);
    EXPECT_EQ(report.cxIcon, 32);
    ExpectIconCentred(report, -15);  // not -16
    ASSERT_TRUE(Minimise(false));
    CancelWritesNothing();
}

TEST_F(WindowIcon, ShownPaintIsDefaultProcessingWithNoIconAndNoIconErase) {
    ASSERT_FALSE(IsIconic(m_dialog));
    const ProbeReport report = Ask(PROBE_PAINT);
    ASSERT_EQ(report.patched, 1u);
    EXPECT_EQ(report.drawCalls, 0u);
    EXPECT_EQ(report.eraseCount, 0u);
    EXPECT_EQ(report.leftInvalid, 0u);
    EXPECT_GT(report.clientWidth, 0);
    CancelWritesNothing();
}

// Per-monitor DPI awareness, v2 where the system follows the manifest: a Wine that makes
// every process per-monitor aware (Wine 8) gives the first version.
TEST_F(WindowIcon, ToolIsAwareOfEachMonitorsDpi) {
    const ProbeReport report = Ask(PROBE_DPI);
    EXPECT_EQ(report.processAwareness, 2);
    EXPECT_EQ(report.threadAwareness, 2);
    if (OwnDpiAwareness() != 2) EXPECT_EQ(report.perMonitorV2, 1u);
    CancelWritesNothing();
}

// The same at 144 DPI, set in the prefix's LogPixels before the launch and put back after.
class WindowIconAt144Dpi : public WindowIcon {
protected:
    void SetUp() override {
        DWORD size = sizeof m_logPixels;
        m_hadLogPixels = RegGetValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", RRF_RT_REG_DWORD, nullptr,
                                      &m_logPixels, &size) == ERROR_SUCCESS;
        SetLogPixels(144);
        WindowIcon::SetUp();
    }
    void TearDown() override {
        WindowIcon::TearDown();
        if (m_hadLogPixels) SetLogPixels(m_logPixels);
        else RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels");
    }
    static void SetLogPixels(DWORD dpi) {
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", REG_DWORD, &dpi, sizeof dpi),
                  ERROR_SUCCESS);
    }
    bool m_hadLogPixels = false;
    DWORD m_logPixels = 0;
};

// The template is laid out for 144 DPI, not stretched from 96: its 8-point font is 16 pixels
// high, all 24 controls fit the client area, and the minimised icon is 48 pixels, centred.
TEST_F(WindowIconAt144Dpi, EveryControlLiesInTheClientAreaAndTheMinimisedIconIsCentred) {
    const ProbeReport shown = Ask(PROBE_DPI);
    EXPECT_EQ(shown.fontHeight, -16);
    EXPECT_EQ(shown.controls, 24u);
    EXPECT_EQ(shown.controlsOutside, 0u);
    ASSERT_TRUE(Minimise(true));
    const ProbeReport minimised = Ask(PROBE_PAINT);
    EXPECT_EQ(minimised.drawCalls, 1u);
    EXPECT_EQ(minimised.cxIcon, 48);
    ExpectIconCentred(minimised, -23);
    ASSERT_TRUE(Minimise(false));
    CancelWritesNothing();
}
