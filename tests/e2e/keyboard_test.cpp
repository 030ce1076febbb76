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

TEST_F(Keyboard, F1ShowsHelpAndClosingItReturnsToTheDialog) {
    RunTool([this](HWND dialog) {
        ASSERT_TRUE(PressKeys(dialog, "F1"));
        HWND help = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (help = FindProcessWindow(m_tool.Pid(), "#32770", "Varek Setup Help")); },
                              5000));
        EXPECT_EQ(GetWindow(help, GW_OWNER), dialog);
        EXPECT_FALSE(IsWindowEnabled(dialog));
        ASSERT_TRUE(PressKeys(help, "Return"));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(help); }, 5000));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != FALSE; }, 5000));
        Click(dialog, kCancel);
    });
    EXPECT_TRUE(ReadToolKey().empty());
}
