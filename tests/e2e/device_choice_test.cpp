// The device list and the device choice with real DirectDraw under Wine and with
// the stand-in ddraw.dll reporting scripted devices.
#include "harness/tool_test.h"

using DeviceChoice = ToolTest;

namespace {
const ScriptedDevice kDefaultDriver = {{}, "display", "Primary Display Driver"};
const ScriptedDevice kAddOnCard = {TestGuid(1), "vk3d", "Voodoo-like 3D Accelerator"};

std::vector<uint8_t> StoredDeviceId() { return ReadToolKey()["Direct Draw Device ID"].bytes; }
std::vector<uint8_t> StoredUseDefault() { return ReadToolKey()["Use Default Direct Draw"].bytes; }
}  // namespace

TEST_F(DeviceChoice, WinesOwnDirectDrawListsItsDisplayDriverAndSavesItAsTheDefault) {
    RunTool([](HWND dialog) {
        EXPECT_EQ(ListLines(dialog), (std::vector<std::string>{"display - DirectDraw HAL"}));
        Click(dialog, kSave);
    });
    EXPECT_EQ(StoredUseDefault(), Dword(1).bytes);
    EXPECT_EQ(StoredDeviceId(), AllBytes(0xFF));
}

TEST_F(DeviceChoice, TheScriptedDdrawIsTheOneLoaded) {
    ScriptedDirectDraw ddraw({{TestGuid(3), "proof", "Scripted Device"}});
    RunTool(ddraw, [](HWND dialog) {
        EXPECT_EQ(ListLines(dialog), (std::vector<std::string>{"proof - Scripted Device"}));
        Click(dialog, kCancel);
    });
}

TEST_F(DeviceChoice, NoSelectionAfterDefaultThenCardStoresTheCard) {
    ScriptedDirectDraw ddraw({kDefaultDriver, kAddOnCard});
    RunTool(ddraw, [](HWND dialog) { Click(dialog, kSave); });
    EXPECT_EQ(StoredUseDefault(), Dword(0).bytes);
    EXPECT_EQ(StoredDeviceId(), TestGuid(1));
}

TEST_F(DeviceChoice, NoDeviceStoresZeroAndSixteenZeroBytes) {
    ScriptedDirectDraw ddraw({});
    RunTool(ddraw, [](HWND dialog) {
        EXPECT_TRUE(ListLines(dialog).empty());
        Click(dialog, kSave);
    });
    EXPECT_EQ(StoredUseDefault(), Dword(0).bytes);
    EXPECT_EQ(StoredDeviceId(), AllBytes(0x00));
}

TEST_F(DeviceChoice, OnlyTheDefaultDriverStoresOneAndSixteenFFBytes) {
    ScriptedDirectDraw ddraw({kDefaultDriver});
    RunTool(ddraw, [](HWND dialog) { Click(dialog, kSave); });
    EXPECT_EQ(StoredUseDefault(), Dword(1).bytes);
    EXPECT_EQ(StoredDeviceId(), AllBytes(0xFF));
}

TEST_F(DeviceChoice, AFailedEnumerationKeepsTheDevicesReportedBeforeIt) {
    ScriptedDirectDraw ddraw({kDefaultDriver, kAddOnCard, {TestGuid(2), "late", "Never Reported"}}, 2);
    RunTool(ddraw, [](HWND dialog) {
        EXPECT_EQ(ListLines(dialog).size(), 2u);
        Click(dialog, kSave);
    });
    EXPECT_EQ(StoredDeviceId(), TestGuid(1));
}
