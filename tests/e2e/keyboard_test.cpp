// The dialog driven from the keyboard with real key presses through X.
#include "harness/tool_test.h"

using Keyboard = ToolTest;

namespace {
// Presses Tab once per expected stop and records where the focus lands.
std::vector<int> TabStops(HWND dialog, size_t count) {
    std::vector<int> stops;
    for (size_t i = 0; i < count; ++i) {
        const int before = FocusedControl(dialog);
        if (!PressKeys(dialog, "Tab")) break;
        if (!WaitUntil([&] { return FocusedControl(dialog) != before; }, 3000)) {
            ADD_FAILURE() << "Tab " << i + 1 << " left the focus on control " << before << " for 3 s";
            break;
        }
        stops.push_back(FocusedControl(dialog));
    }
    return stops;
}
}  // namespace

TEST_F(Keyboard, TabVisitsEachGroupsCheckedButtonAndWraps) {
    RunTool([](HWND dialog) {
        EXPECT_EQ(FocusedControl(dialog), kSave);
        EXPECT_EQ(TabStops(dialog, 11),
                  (std::vector<int>{kCancel, kHal, kMmx, kRgb, kColor16, kExecSingle, kZ16, k3DNow, kDeviceList,
                                    kNoArgb1555, kSave}));
        Click(dialog, kCancel);
    });
    EXPECT_TRUE(ReadToolKey().empty());
}

TEST_F(Keyboard, TabSkipsAGroupWithNoCheckedButton) {
    WriteToolDword("Color buffer bit depth", 15);
    RunTool([](HWND dialog) {
        EXPECT_EQ(TabStops(dialog, 6), (std::vector<int>{kCancel, kHal, kMmx, kRgb, kExecSingle, kZ16}));
        Click(dialog, kCancel);
    });
}

TEST_F(Keyboard, SpaceTogglesTheFocusedBoxAndTheFlagFollows) {
    RunTool([](HWND dialog) {
        ASSERT_EQ(TabStops(dialog, 2), (std::vector<int>{kCancel, kHal}));
        ASSERT_TRUE(PressKeys(dialog, "space"));
        EXPECT_TRUE(WaitUntil([&] { return !IsChecked(dialog, kHal); }, 3000));
        ASSERT_TRUE(PressKeys(dialog, "Return"));
    });
    EXPECT_EQ(ReadToolKey()["Allow D3D HAL"], Dword(0));
}

TEST_F(Keyboard, EnterOnCancelCancels) {
    RunTool([](HWND dialog) {
        ASSERT_EQ(TabStops(dialog, 1), (std::vector<int>{kCancel}));
        ASSERT_TRUE(PressKeys(dialog, "Return"));
    });
    EXPECT_TRUE(ReadToolKey().empty());
}

// The help box, "Varek Setup Help" whatever the program file is called, and the About box from
// the system menu: each owned by the dialog, which waits until it is closed. Their texts are
// read back in UTF-16, also where the ANSI code page is 932 (Japanese), in which the bytes
// 0xAE and 0xA9, the registered and copyright signs in code page 1252, are two katakana.
TEST_F(Keyboard, F1AndTheSystemMenuShowHelpAndAboutAndClosingThemReturnsToTheDialog) {
    const char* session = std::getenv("VAREK_WINE_SESSION");
    const std::string renamed = WindowsPath(std::string(session != nullptr ? session : "/tmp") + "/vsetup.exe");
    ASSERT_TRUE(CopyFileA(ToolExePath().c_str(), renamed.c_str(), FALSE));
    const wchar_t kHelpLine[] = L"\nAllow 3DNow\u00AE: lets Varek 3D use a processor's 3DNow! instructions.\n";
    const wchar_t kAbout[] = L"Varek Setup\n\nVersion 1.0.0.1\n\nCopyright \u00A9 Ostrand 1998. All rights reserved.";
    const struct {
        std::string exe;
        const char *locale, *keys, *caption;  // locale: LC_ALL of the tool's Unix environment
        const wchar_t* shows;                  // the box's text holds it
    } cases[] = {
        // F1 by its key code: where the keymap gives the F keys a VT-switch level (Debian
        // unstable's Xvfb), xdotool presses F1 by name as Alt+F1, which Wine rightly ignores.
        {ToolExePath(), nullptr, "67", "Varek Setup Help", kHelpLine},
        {renamed, nullptr, "67", "Varek Setup Help", kHelpLine},
        // Up from the first item reaches the last: Wine puts its own "&About Wine" item above ours.
        {ToolExePath(), nullptr, "alt+space Up Return", "About Varek Setup", kAbout},
        // Wine takes LC_ALL as it is, installed in the C library or not.
        {ToolExePath(), "ja_JP.UTF-8", "67", "Varek Setup Help", kHelpLine},
        {ToolExePath(), "ja_JP.UTF-8", "alt+space Up Return", "About Varek Setup", kAbout},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exe + ": " + c.keys + (c.locale != nullptr ? std::string(", LC_ALL=") + c.locale : ""));
        if (c.locale != nullptr) ASSERT_TRUE(m_tool.StartThroughWineLoader(c.exe, {std::string("LC_ALL=") + c.locale}));
        HWND dialog = c.locale != nullptr ? m_tool.WaitForDialog() : Launch({}, c.exe);
        ASSERT_NE(dialog, nullptr) << c.exe;
        ASSERT_TRUE(PressKeys(dialog, c.keys));
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (box = FindProcessWindow(m_tool.Pid(), "#32770", c.caption)); }, 5000))
            << c.exe << ": " << c.caption;
        EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
        EXPECT_FALSE(IsWindowEnabled(dialog));
        const std::wstring text = BoxText(box);
        EXPECT_NE(text.find(c.shows), std::wstring::npos) << ::testing::PrintToString(text);
        Click(box, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }, 5000));
        Click(dialog, kCancel);
        ExpectExit();
    }
    EXPECT_TRUE(ReadToolKey().empty());
}

// The system menu through real keys: Alt+Space opens it, then a letter or the arrows pick an item.
using SystemMenu = ToolTest;

// From stored values unlike every default and a device line selected; Cancel then keeps what is stored.
TEST_F(SystemMenu, RestoreDefaultsShowsTheDefaultsAndSaveThenStoresThem) {
    for (const int ending : {kCancel, kSave}) {
        SCOPED_TRACE(ending == kSave ? "Save" : "Cancel");
        for (const auto& [name, value] : SavedValues(0, 0, 32, 15, 2, 0, 0, 7, 1, AllBytes(0xFF))) {
            WriteToolValue(name, value.type, value.bytes);
        }
        const KeyValues before = ReadToolKey();
        HWND dialog = Launch();
        ASSERT_NE(dialog, nullptr);
        Click(dialog, kRgb);
        Click(dialog, kColor8);
        SelectLine(dialog, 0);
        ASSERT_TRUE(PressKeys(dialog, "alt+space d"));
        EXPECT_TRUE(WaitUntil([&] { return IsChecked(dialog, kHal); }, 3000));
        EXPECT_EQ(CheckedControls(dialog),
                  (std::vector<int>{kHal, kMmx, kRgb, kExecSingle, kColor16, kZ16, k3DNow, kNoArgb1555}));
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, kDeviceList), LB_GETCURSEL, 0, 0), LB_ERR);
        EXPECT_EQ(ReadToolKey(), before);  // nothing written yet
        Click(dialog, ending);
        ExpectExit();
        EXPECT_EQ(ReadToolKey(), ending == kSave ? DefaultSave() : before);
    }
}
