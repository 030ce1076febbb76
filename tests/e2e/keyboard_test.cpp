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
        WaitUntil([&] { return FocusedControl(dialog) != before; }, 3000);
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

// The help box is "Varek Setup Help" whatever the program file is called.
TEST_F(Keyboard, F1ShowsHelpAndClosingItReturnsToTheDialog) {
    const char* session = std::getenv("VAREK_WINE_SESSION");
    const std::string renamed = WindowsPath(std::string(session != nullptr ? session : "/tmp") + "/vsetup.exe");
    ASSERT_TRUE(CopyFileA(ToolExePath().c_str(), renamed.c_str(), FALSE));
    for (const std::string& exe : {ToolExePath(), renamed}) {
        HWND dialog = Launch({}, exe);
        ASSERT_NE(dialog, nullptr) << exe;
        ASSERT_TRUE(PressKeys(dialog, "F1"));
        HWND help = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (help = FindProcessWindow(m_tool.Pid(), "#32770", "Varek Setup Help")); },
                              5000))
            << exe;
        EXPECT_EQ(GetWindow(help, GW_OWNER), dialog);
        EXPECT_FALSE(IsWindowEnabled(dialog));
        Click(help, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(help); }, 5000));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }, 5000));
        Click(dialog, kCancel);
        ExpectExit();
    }
    EXPECT_TRUE(ReadToolKey().empty());
}

// The system menu through real keys: Alt+Space opens it, then a letter or the arrows pick an item.
class SystemMenu : public ToolTest {
protected:
    // Stored values unlike every default, and a device line selected: then Restore Defaults.
    HWND RestoreDefaultsFromStoredValues() {
        for (const char* name : {"Allow 3DNow", "Do not use ARGB-1555 textures", "Allow D3D HAL", "Allow D3D MMX"}) {
            WriteToolDword(name, 0);
        }
        WriteToolDword("Allow D3D RGB", 7);
        WriteToolDword("Z-Buffer bit depth", 32);
        WriteToolDword("Color buffer bit depth", 15);
        WriteToolDword("Number of execute buffers", 2);
        m_before = ReadToolKey();
        HWND dialog = Launch();
        if (dialog == nullptr) return nullptr;
        Click(dialog, kRgb);
        Click(dialog, kColor8);
        SelectLine(dialog, 0);
        EXPECT_TRUE(PressKeys(dialog, "alt+space d"));
        EXPECT_TRUE(WaitUntil([&] { return IsChecked(dialog, kHal); }, 3000));
        EXPECT_EQ(CheckedControls(dialog),
                  (std::vector<int>{kHal, kMmx, kRgb, kExecSingle, kColor16, kZ16, k3DNow, kNoArgb1555}));
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, kDeviceList), LB_GETCURSEL, 0, 0), LB_ERR);
        EXPECT_EQ(ReadToolKey(), m_before);  // nothing written yet
        return dialog;
    }

    KeyValues m_before;
};

TEST_F(SystemMenu, RestoreDefaultsThenSaveStoresTheDefaults) {
    HWND dialog = RestoreDefaultsFromStoredValues();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, kSave);
    ExpectExit();
    EXPECT_EQ(ReadToolKey(), DefaultSave());
}

TEST_F(SystemMenu, RestoreDefaultsThenCancelKeepsWhatIsStored) {
    HWND dialog = RestoreDefaultsFromStoredValues();
    ASSERT_NE(dialog, nullptr);
    Click(dialog, kCancel);
    ExpectExit();
    EXPECT_EQ(ReadToolKey(), m_before);
}

TEST_F(SystemMenu, AboutNamesTheProductItsVersionAndCopyright) {
    RunTool([this](HWND dialog) {
        // Up from the first item reaches the last: Wine puts its own "&About Wine" item above ours.
        ASSERT_TRUE(PressKeys(dialog, "alt+space Up Return"));
        HWND about = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] { return (about = FindProcessWindow(m_tool.Pid(), "#32770", "About Varek Setup")); }, 5000));
        EXPECT_EQ(GetWindow(about, GW_OWNER), dialog);
        char text[256] = "";
        GetDlgItemTextA(about, 0xFFFF, text, sizeof text);
        EXPECT_STREQ(text, "Varek Setup\n\nVersion 1.0.0.1\n\nCopyright \xA9 Ostrand 1998. All rights reserved.");
        Click(about, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000));
        Click(dialog, kCancel);
    });
    EXPECT_TRUE(ReadToolKey().empty());
}
