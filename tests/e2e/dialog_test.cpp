// The setup dialog's behaviour: check marks from the stored values, each click's
// effect on what "Save" stores, the device lines and the device choice.
#include "harness/tool_test.h"

using SetupDialog = ToolTest;

namespace {
using Ids = std::vector<int>;
}

TEST_F(SetupDialog, FirstRunShowsTheDefaults) {
    RunTool([](HWND dialog) {
        EXPECT_EQ(CheckedControls(dialog), (Ids{kHal, kMmx, kRgb, kExecSingle, kColor16, kZ16, k3DNow, kNoArgb1555}));
        char caption[64] = "";
        GetWindowTextA(dialog, caption, sizeof caption);
        EXPECT_STREQ(caption, "Varek Setup");
        Click(dialog, kCancel);
    });
}

TEST_F(SetupDialog, StoredValuesShowAsMarks) {
    WriteToolDword("Allow 3DNow", 0);
    WriteToolDword("Do not use ARGB-1555 textures", 0);
    WriteToolDword("Allow D3D MMX", 0);
    WriteToolDword("Z-Buffer bit depth", 32);
    WriteToolDword("Color buffer bit depth", 8);
    WriteToolDword("Number of execute buffers", 2);
    RunTool([](HWND dialog) {
        EXPECT_EQ(CheckedControls(dialog), (Ids{kHal, kRgb, kColor8, kExecDual, kZ32}));
        Click(dialog, kCancel);
    });
}

TEST_F(SetupDialog, ADepthNoButtonOffersChecksNoneAndIsWrittenBackUnlessClicked) {
    WriteToolDword("Color buffer bit depth", 15);
    RunTool([](HWND dialog) {
        for (int id : {kColor8, kColor16, kColor24, kColor32}) EXPECT_FALSE(IsChecked(dialog, id)) << id;
        Click(dialog, kSave);
    });
    EXPECT_EQ(ReadToolKey()["Color buffer bit depth"], Dword(15));

    RunTool([](HWND dialog) {
        Click(dialog, kColor24);
        Click(dialog, kSave);
    });
    EXPECT_EQ(ReadToolKey()["Color buffer bit depth"], Dword(24));
}

TEST_F(SetupDialog, AFlagOfSevenCountsAsSetAndFlipsToZeroThenOne) {
    WriteToolDword("Allow D3D HAL", 7);
    RunTool([](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, kHal));
        Click(dialog, kHal);
        Click(dialog, kSave);
    });
    EXPECT_EQ(ReadToolKey()["Allow D3D HAL"], Dword(0));
    RunTool([](HWND dialog) {
        EXPECT_FALSE(IsChecked(dialog, kHal));
        Click(dialog, kHal);
        Click(dialog, kSave);
    });
    EXPECT_EQ(ReadToolKey()["Allow D3D HAL"], Dword(1));
}

// Each control, clicked once over a key where every click changes something,
// changes exactly its own value.
struct OneClick {
    int id;
    const char* value;
    DWORD stored;
};

class EachControl : public ToolTest, public ::testing::WithParamInterface<OneClick> {};

TEST_P(EachControl, ChangesExactlyItsOwnValue) {
    WriteToolDword("Number of execute buffers", 3);
    WriteToolDword("Color buffer bit depth", 15);
    WriteToolDword("Z-Buffer bit depth", 15);
    RunTool([](HWND dialog) {
        Click(dialog, GetParam().id);
        Click(dialog, kSave);
    });
    KeyValues expected = SavedValues(1, 1, 15, 15, 3, 1, 1, 1, 1, AllBytes(0xFF));
    expected[GetParam().value] = Dword(GetParam().stored);
    EXPECT_EQ(ReadToolKey(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    SetupDialog, EachControl,
    ::testing::Values(OneClick{kHal, "Allow D3D HAL", 0}, OneClick{kMmx, "Allow D3D MMX", 0},
                      OneClick{kRgb, "Allow D3D RGB", 0}, OneClick{k3DNow, "Allow 3DNow", 0},
                      OneClick{kNoArgb1555, "Do not use ARGB-1555 textures", 0},
                      OneClick{kExecSingle, "Number of execute buffers", 1},
                      OneClick{kExecDual, "Number of execute buffers", 2},
                      OneClick{kColor8, "Color buffer bit depth", 8}, OneClick{kColor16, "Color buffer bit depth", 16},
                      OneClick{kColor24, "Color buffer bit depth", 24}, OneClick{kColor32, "Color buffer bit depth", 32},
                      OneClick{kZ8, "Z-Buffer bit depth", 8}, OneClick{kZ16, "Z-Buffer bit depth", 16},
                      OneClick{kZ24, "Z-Buffer bit depth", 24}, OneClick{kZ32, "Z-Buffer bit depth", 32}),
    [](const ::testing::TestParamInfo<OneClick>& info) { return "Control" + std::to_string(info.param.id); });

TEST_F(SetupDialog, SelectingClickingAndCancellingStoresNothing) {
    ScriptedDirectDraw ddraw({{{}, "display", "Primary"}, {TestGuid(1), "card", "3D Card"}});
    RunTool(ddraw, [](HWND dialog) {
        SelectLine(dialog, 1);
        Click(dialog, kHal);
        Click(dialog, kColor32);
        Click(dialog, kCancel);
    });
    EXPECT_TRUE(ReadToolKey().empty());
}

// The device list box sorts its lines; the list itself keeps DirectDraw's newest
// report first. Reported here: alpha, the default driver, then zeta.
class DeviceLines : public ToolTest {
protected:
    DeviceLines()
        : m_ddraw({{TestGuid(1), "alpha", "First Card"}, {{}, "display", "Primary"}, {TestGuid(2), "zeta", "Last Card"}}) {}

    void SaveWithSelection(int line) {
        RunTool(m_ddraw, [line](HWND dialog) {
            EXPECT_EQ(ListLines(dialog),
                      (std::vector<std::string>{"alpha - First Card", "display - Primary", "zeta - Last Card"}));
            if (line >= 0) SelectLine(dialog, line);
            Click(dialog, kSave);
        });
    }

    ScriptedDirectDraw m_ddraw;
};

TEST_F(DeviceLines, NoSelectionStoresTheNewestReportNotTheFirstLine) {
    SaveWithSelection(-1);
    EXPECT_EQ(ReadToolKey()["Use Default Direct Draw"], Dword(0));
    EXPECT_EQ(ReadToolKey()["Direct Draw Device ID"], Binary(TestGuid(2)));
}

TEST_F(DeviceLines, SelectingALineStoresItsDevice) {
    SaveWithSelection(0);
    EXPECT_EQ(ReadToolKey()["Use Default Direct Draw"], Dword(0));
    EXPECT_EQ(ReadToolKey()["Direct Draw Device ID"], Binary(TestGuid(1)));
}

TEST_F(DeviceLines, SelectingTheDefaultDriverStoresOneAndSixteenFFBytes) {
    SaveWithSelection(1);
    EXPECT_EQ(ReadToolKey()["Use Default Direct Draw"], Dword(1));
    EXPECT_EQ(ReadToolKey()["Direct Draw Device ID"], Binary(AllBytes(0xFF)));
}

TEST_F(SetupDialog, TwoAlikeDevicesGiveTwoLinesEachStoringItsOwnGuid) {
    ScriptedDirectDraw ddraw({{TestGuid(4), "twin", "Same Card"}, {TestGuid(5), "twin", "Same Card"}});
    std::vector<std::vector<uint8_t>> stored;
    for (int line : {0, 1}) {
        SCOPED_TRACE("line " + std::to_string(line));
        ToolProcess tool;
        ASSERT_TRUE(tool.Start(ddraw.ExePath(), ddraw.Environment()));
        HWND dialog = tool.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(ListLines(dialog), (std::vector<std::string>{"twin - Same Card", "twin - Same Card"}));
        SelectLine(dialog, line);
        Click(dialog, kSave);
        ASSERT_TRUE(tool.WaitForExit());
        stored.push_back(ReadToolKey()["Direct Draw Device ID"].bytes);
    }
    EXPECT_NE(stored[0], stored[1]);
    for (const auto& guid : stored) EXPECT_TRUE(guid == TestGuid(4) || guid == TestGuid(5)) << &guid - &stored[0];
}
