// The run of the tool end to end: what lands in the registry after each way of
// closing the dialog, on a first run and over stored values.
#include "harness/tool_test.h"

#include <sddl.h>      // after <windows.h>
#include <winternl.h>  // NtQueryObject

using RunSequence = ToolTest;

// The instance's mutex, named by the user's SID from the test's own token: the tool runs
// as the same user.
static std::string InstanceMutexName() {
    HANDLE token;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    BYTE user[256];
    DWORD size;
    GetTokenInformation(token, TokenUser, user, sizeof user, &size);
    char* sid = nullptr;
    ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid);
    const std::string text = sid != nullptr ? sid : "";
    LocalFree(sid);
    CloseHandle(token);
    return "Local\\Varek Setup instance of " + text;
}

// The handles open on the mutex: the test's own and one per launch that has opened it.
static ULONG HandleCount(HANDLE mutex) {
    PUBLIC_OBJECT_BASIC_INFORMATION info = {};
    NtQueryObject(mutex, ObjectBasicInformation, &info, sizeof info, nullptr);
    return info.HandleCount;
}

// A handle of the test's own, closed however the test ends: a mutex left open would keep a
// later test from owning it.
struct OwnHandle {
    HANDLE h;
    ~OwnHandle() { CloseHandle(h); }
};

// The stand-in with one device that takes this long to list, as a slow display driver may:
// longer than the 3 s a launch gives a dialog that is up to answer.
static const unsigned kSlowStartMs = 5000;

// Starts the tool through the stand-in made slow; once it has made the mutex it is the
// instance, still starting, and the test has a handle of its own to the mutex.
static HANDLE StartSlowInstance(ToolProcess& tool, const ScriptedDirectDraw& ddraw, unsigned slowMs = kSlowStartMs) {
    const std::string name = InstanceMutexName();
    HANDLE mutex = nullptr;
    if (ddraw.Ready() && ddraw.Slow(slowMs) && tool.Start(ddraw.ExePath(), ddraw.Environment())) {
        WaitUntil([&] { return (mutex = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str())) != nullptr; }, 15000);
    }
    return mutex;
}

TEST_F(RunSequence, FirstRunThenCancelLeavesTheKeyWithItsClassAndNoValues) {
    RunTool([](HWND dialog) { Click(dialog, kCancel); });
    EXPECT_TRUE(ToolKeyExists());
    EXPECT_EQ(ToolKeyClass(), "Varek 3D");
    EXPECT_TRUE(ReadToolKey().empty());
}

TEST_F(RunSequence, FirstRunThenSaveWritesExactlyTheTenDefaults) {
    RunTool([](HWND dialog) { Click(dialog, kSave); });
    EXPECT_EQ(ReadToolKey(), DefaultSave());
}

TEST_F(RunSequence, EscapeWritesNothing) {
    RunTool([](HWND dialog) { ASSERT_TRUE(PressKeys(dialog, "Escape")); });
    EXPECT_TRUE(ReadToolKey().empty());
}

TEST_F(RunSequence, CloseBoxWritesNothing) {
    RunTool([](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_TRUE(ReadToolKey().empty());
}

TEST_F(RunSequence, AltF4WritesNothing) {
    RunTool([](HWND dialog) { ASSERT_TRUE(PressKeys(dialog, "alt+F4")); });
    EXPECT_TRUE(ReadToolKey().empty());
}

// Another process may post the quit request to the dialog.
TEST_F(RunSequence, QuitMessageEndsTheRunWritingNothing) {
    RunTool([](HWND dialog) { PostMessageA(dialog, WM_QUIT, 0, 0); });
    EXPECT_TRUE(ReadToolKey().empty());
}

TEST_F(RunSequence, EnterSaves) {
    RunTool([](HWND dialog) { ASSERT_TRUE(PressKeys(dialog, "Return")); });
    EXPECT_EQ(ReadToolKey(), DefaultSave());
}

TEST_F(RunSequence, CancelLeavesStoredValuesAsTheyWere) {
    WriteToolDword("Allow D3D HAL", 0);
    WriteToolDword("Z-Buffer bit depth", 32);
    WriteToolValue("Direct Draw Device ID", REG_BINARY, AllBytes(0x42));
    const KeyValues before = ReadToolKey();
    RunTool([](HWND dialog) {
        Click(dialog, kHal);
        Click(dialog, kZ8);
        Click(dialog, kCancel);
    });
    EXPECT_EQ(ReadToolKey(), before);
}

TEST_F(RunSequence, ValuesThatAreNotFourByteDwordsLoadAsDefaultsAndAreWrittenBackAsDwords) {
    WriteToolValue("Allow D3D MMX", REG_SZ, {'0', '\0'});
    WriteToolValue("Z-Buffer bit depth", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 32});
    WriteToolValue("Color buffer bit depth", REG_BINARY, {24, 0, 0, 0});
    WriteToolValue("Number of execute buffers", REG_DWORD, {2, 0});
    WriteToolDword("Allow D3D RGB", 0);
    RunTool([](HWND dialog) { Click(dialog, kSave); });
    EXPECT_EQ(ReadToolKey(), SavedValues(1, 1, 16, 16, 1, 1, 1, 0, 1, AllBytes(0xFF)));
}

TEST_F(RunSequence, SaveKeepsOtherValuesOfTheKey) {
    WriteToolValue("Written by someone else", REG_SZ, {'k', 'e', 'e', 'p', '\0'});
    RunTool([](HWND dialog) { Click(dialog, kSave); });
    KeyValues expected = DefaultSave();
    expected["Written by someone else"] = {REG_SZ, {'k', 'e', 'e', 'p', '\0'}};
    EXPECT_EQ(ReadToolKey(), expected);
}

TEST_F(RunSequence, ASecondLaunchShowsWhatTheFirstSaved) {
    RunTool([](HWND dialog) {
        Click(dialog, kMmx);
        Click(dialog, kColor32);
        Click(dialog, kExecDual);
        Click(dialog, kSave);
    });
    RunTool([](HWND dialog) {
        EXPECT_EQ(CheckedControls(dialog),
                  (std::vector<int>{kHal, kRgb, kExecDual, kColor32, kZ16, k3DNow, kNoArgb1555}));
        Click(dialog, kCancel);
    });
}

// The pointer in a corner: the dialog is centred on the monitor that holds it, not on it.
TEST_F(RunSequence, DialogOpensCentredOnTheWorkArea) {
    ASSERT_TRUE(Xdotool("mousemove 5 5"));
    RunTool([](HWND dialog) {
        RECT window, work;
        GetWindowRect(dialog, &window);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_NEAR(window.left + window.right, work.left + work.right, 2);
        EXPECT_NEAR(window.top + window.bottom, work.top + work.bottom, 2);
        Click(dialog, kCancel);
    });
}

// The second launch ends, writes nothing and brings the first dialog forward, from behind
// a window of the test's own and past a dialog of the same caption that the test shows and
// that answers what it is sent; the first still saves. A text value stored in between stays
// text: a save would make it a DWORD. Its time to end is not judged: under emulation a
// start alone takes seconds, and a failed search shows as the cover left in front.
TEST_F(RunSequence, ASecondLaunchBringsTheFirstDialogForwardAndEndsWritingNothing) {
    RunTool([this](HWND dialog) {
        HWND decoy = CreateWindowExA(0, "#32770", "Varek Setup", WS_POPUP | WS_VISIBLE, 0, 0, 99, 99, nullptr, nullptr,
                                     nullptr, nullptr);
        HWND cover = CreateWindowExA(0, "STATIC", "cover", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr, nullptr,
                                     nullptr, nullptr);
        SetForegroundWindow(cover);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == cover; }, 3000));
        WriteToolValue("Allow D3D MMX", REG_SZ, {'0', '\0'});
        const KeyValues before = ReadToolKey();
        ToolProcess second;
        DWORD exitCode = 1;
        ASSERT_TRUE(second.Start(ToolExePath()));
        EXPECT_TRUE(WaitUntil(
            [&] {
                MSG m;  // peeking lets the messages sent to the decoy reach it while the test waits
                PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
                return second.WaitForExit(0, &exitCode);
            },
            15000));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 3000));
        EXPECT_EQ(ReadToolKey(), before);
        DestroyWindow(cover);
        DestroyWindow(decoy);
        Click(dialog, kSave);
    });
    EXPECT_EQ(ReadToolKey(), DefaultSave());
}

// The test owns the instance's mutex, as an instance that is ending would, until two
// launches have opened it. Exactly one of them then owns it and opens its dialog, slowly
// (the stand-in takes 5 s to list the devices, as a start does on a slow machine); the other
// waits for that dialog, brings it forward and ends. The test keeps its handle, as a third
// launch that waits would: a handle alone makes no instance.
TEST_F(RunSequence, ALaunchWhileTheInstanceEndsOpensItsDialogAndASecondWaitingLaunchEnds) {
    ScriptedDirectDraw ddraw({{{}, "display", "Primary"}});
    ASSERT_TRUE(ddraw.Ready() && ddraw.Slow(kSlowStartMs));
    HANDLE ending = CreateMutexA(nullptr, TRUE, InstanceMutexName().c_str());
    ToolProcess other;
    const std::vector<std::string> slow = ddraw.Environment();
    ASSERT_TRUE(m_tool.Start(ddraw.ExePath(), slow) && other.Start(ddraw.ExePath(), slow));
    ASSERT_TRUE(WaitUntil([&] { return HandleCount(ending) == 3; }, 15000)) << "the launches did not open the mutex";
    ReleaseMutex(ending);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = m_tool.WaitForDialog(0)) || (dialog = other.WaitForDialog(0)); },
                          30000));
    EXPECT_NE(GetDlgItem(dialog, kDeviceList), nullptr) << "not the setup dialog";
    ToolProcess *instance = &m_tool, *second = &other;
    if (dialog == other.WaitForDialog(0)) std::swap(instance, second);
    DWORD exitCode = 1;
    EXPECT_TRUE(second->WaitForExit(15000, &exitCode) && exitCode == 0) << "the other launch did not end with 0";
    Click(dialog, kCancel);
    EXPECT_TRUE(instance->WaitForExit(15000, &exitCode) && exitCode == 0) << "the instance did not end with 0";
    CloseHandle(ending);
}

// A second launch while the first is still starting waits for the first's dialog, however
// long the start takes: it brings that dialog forward and ends, with no box of its own.
TEST_F(RunSequence, ASecondLaunchWhileTheFirstStartsWaitsForItsDialogAndShowsNoBox) {
    ScriptedDirectDraw ddraw({{{}, "display", "Primary"}});
    const OwnHandle mutex{StartSlowInstance(m_tool, ddraw)};
    ASSERT_NE(mutex.h, nullptr) << "the first launch made no mutex";
    ToolProcess second;
    ASSERT_TRUE(second.Start(ToolExePath()));
    DWORD exitCode = 1;
    HWND box = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return second.WaitForExit(0, &exitCode) || (box = second.WaitForDialog(0)); }, 30000));
    EXPECT_EQ(box, nullptr) << "the second launch showed a box";
    EXPECT_EQ(exitCode, 0u);
    HWND dialog = m_tool.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 3000));
    Click(dialog, kCancel);
    ExpectExit();
}

// The instance dies while it starts and a launch waits for its dialog: the launch owns the
// abandoned mutex and opens its own dialog. The stand-in would take a minute here, so that
// the instance is surely still starting when it is killed.
TEST_F(RunSequence, ALaunchWaitingOnAnInstanceThatDiesOpensItsOwnDialog) {
    ScriptedDirectDraw ddraw({{{}, "display", "Primary"}});
    const OwnHandle mutex{StartSlowInstance(m_tool, ddraw, 60000)};
    ASSERT_NE(mutex.h, nullptr) << "the first launch made no mutex";
    ToolProcess second;
    ASSERT_TRUE(second.Start(ToolExePath()));
    ASSERT_TRUE(WaitUntil([&] { return HandleCount(mutex.h) == 3; }, 15000)) << "the launch did not open the mutex";
    TerminateProcess(m_tool.Handle(), 1);
    HWND dialog = second.WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "the waiting launch opened no dialog";
    EXPECT_NE(GetDlgItem(dialog, kDeviceList), nullptr) << "not the setup dialog";
    Click(dialog, kCancel);
    DWORD exitCode = 1;
    EXPECT_TRUE(second.WaitForExit(15000, &exitCode) && exitCode == 0) << "the launch did not end with 0";
}

// Ended while its About box still keeps it on screen, the dialog no longer answers a launch
// that asks for the instance's dialog.
TEST_F(RunSequence, AnEndedDialogNoLongerAnswersAsTheInstance) {
    const UINT query = RegisterWindowMessageA(InstanceMutexName().c_str() + 6);  // without "Local\"
    RunTool([&](HWND dialog) {
        DWORD_PTR answer = 0;
        EXPECT_TRUE(SendMessageTimeoutA(dialog, query, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
        EXPECT_EQ(answer, 0x56534554u);
        PostMessageA(dialog, WM_SYSCOMMAND, 0x0020, 0);  // About
        HWND about = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (about = FindProcessWindow(m_tool.Pid(), "#32770", "About Varek Setup")); },
                              5000));
        SendMessageTimeoutA(dialog, WM_COMMAND, IDCANCEL, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        EXPECT_TRUE(SendMessageTimeoutA(dialog, query, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
        EXPECT_EQ(answer, 0u);
        Click(about, IDOK);
    });
    EXPECT_TRUE(ReadToolKey().empty());
}

// The test owns the mutex and says that the dialog is up, with no dialog behind it, as an
// instance whose dialog hangs would: the launch gives up after its wait with one box, and
// writes nothing.
TEST_F(RunSequence, ALaunchWhoseInstanceShowsNoDialogSaysSoInOneBoxAndWritesNothing) {
    HANDLE hung = CreateMutexA(nullptr, TRUE, InstanceMutexName().c_str());
    const OwnHandle up{CreateEventA(nullptr, TRUE, FALSE, (InstanceMutexName() + " dialog").c_str())};
    SetEvent(up.h);
    ASSERT_TRUE(m_tool.Start(ToolExePath()));
    HWND box = m_tool.WaitForDialog();
    ASSERT_NE(box, nullptr) << "no box came up";
    EXPECT_EQ(BoxText(box), L"Varek Setup is already running for this user and could not be brought to the front.\n\n" +
                                SystemText(ERROR_TIMEOUT));
    Click(box, IDOK);
    ExpectExit();
    EXPECT_FALSE(ToolKeyExists());
    CloseHandle(hung);
}
