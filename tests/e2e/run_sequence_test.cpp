// The run of the tool end to end: what lands in the registry after each way of
// closing the dialog, on a first run and over stored values.
#include "harness/tool_test.h"

#include <sddl.h>  // after <windows.h>

using RunSequence = ToolTest;

// The user's SID as text, from the test's own token: the tool runs as the same user.
static std::string UserSid() {
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
    return text;
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

TEST_F(RunSequence, DialogOpensCentredOnTheWorkArea) {
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
// a window of the test's own and past a dialog of the same caption that the test shows;
// the first still saves. A text value stored in between stays text: a save would make it
// a DWORD. Its time to end is not judged: under emulation a start alone
// takes seconds, and a failed search shows as the cover left in front.
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
        EXPECT_TRUE(second.WaitForExit(15000, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 3000));
        EXPECT_EQ(ReadToolKey(), before);
        DestroyWindow(cover);
        DestroyWindow(decoy);
        Click(dialog, kSave);
    });
    EXPECT_EQ(ReadToolKey(), DefaultSave());
}

// The test holds the instance's mutex, named by the user's SID, as an instance that is
// ending would: the launch waits for a dialog that never comes, then becomes the instance.
TEST_F(RunSequence, ALaunchWhileTheInstanceEndsOpensItsDialogOnceTheInstanceHasGone) {
    HANDLE ending = CreateMutexA(nullptr, FALSE, ("Local\\Varek Setup instance of " + UserSid()).c_str());
    ASSERT_TRUE(m_tool.Start(ToolExePath()));
    EXPECT_EQ(m_tool.WaitForDialog(2500), nullptr);
    CloseHandle(ending);
    EXPECT_NE(m_tool.WaitForDialog(), nullptr);
}
