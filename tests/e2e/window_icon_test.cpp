// The dialog's icon seen from inside the tool's process: Wine 8 answers WM_GETICON and
// WM_QUERYDRAGICON only there, and a minimised dialog has an empty client area, so its
// icon never shows on screen. The probe DLL, hooked into the tool's GUI thread, asks
// for the icons and records what one WM_PAINT draws.
#include "harness/tool_test.h"
#include "probe/probe.h"

namespace {
// The build puts the probe in probe\ beside the test programs.
std::string ProbePath() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string own(path, length < MAX_PATH ? length : 0);
    return own.substr(0, own.find_last_of('\\')) + "\\probe\\probe.dll";
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
    if (report.clientWidth == 0 && report.clientHeight == 0 && report.cxIcon == 32 && report.cyIcon == 32) {
        // Wine's minimised window: (0 - 32 + 1) / 2 truncates to -15, not -16.
        EXPECT_EQ(report.drawX, -15);
        EXPECT_EQ(report.drawY, -15);
    } else {
        EXPECT_EQ(report.drawX, (report.clientWidth - report.cxIcon + 1) / 2);
        EXPECT_EQ(report.drawY, (report.clientHeight - report.cyIcon + 1) / 2);
    }
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
