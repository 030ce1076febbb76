// The device list and the device choice with real DirectDraw under Wine and with
// the stand-in ddraw.dll reporting scripted devices.
#include "harness/scripted_devices.h"
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
    HWND dialog = Launch(ddraw.Environment(), ddraw.ExePath());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ListLines(dialog), (std::vector<std::string>{"proof - Scripted Device"}));
    Click(dialog, kCancel);
    ExpectExit();
}

TEST_F(DeviceChoice, NoSelectionAfterDefaultThenCardStoresTheCard) {
    ScriptedDirectDraw ddraw({kDefaultDriver, kAddOnCard});
    HWND dialog = Launch(ddraw.Environment(), ddraw.ExePath());
    ASSERT_NE(dialog, nullptr);
    Click(dialog, kSave);
    ExpectExit();
    EXPECT_EQ(StoredUseDefault(), Dword(0).bytes);
    EXPECT_EQ(StoredDeviceId(), TestGuid(1));
}

TEST_F(DeviceChoice, NoDeviceStoresZeroAndSixteenZeroBytes) {
    ScriptedDirectDraw ddraw({});
    HWND dialog = Launch(ddraw.Environment(), ddraw.ExePath());
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(ListLines(dialog).empty());
    Click(dialog, kSave);
    ExpectExit();
    EXPECT_EQ(StoredUseDefault(), Dword(0).bytes);
    EXPECT_EQ(StoredDeviceId(), AllBytes(0x00));
}

TEST_F(DeviceChoice, OnlyTheDefaultDriverStoresOneAndSixteenFFBytes) {
    ScriptedDirectDraw ddraw({kDefaultDriver});
    HWND dialog = Launch(ddraw.Environment(), ddraw.ExePath());
    ASSERT_NE(dialog, nullptr);
    Click(dialog, kSave);
    ExpectExit();
    EXPECT_EQ(StoredUseDefault(), Dword(1).bytes);
    EXPECT_EQ(StoredDeviceId(), AllBytes(0xFF));
}

TEST_F(DeviceChoice, AFailedEnumerationKeepsTheDevicesReportedBeforeIt) {
    ScriptedDirectDraw ddraw({kDefaultDriver, kAddOnCard, {TestGuid(2), "late", "Never Reported"}}, 2);
    HWND dialog = Launch(ddraw.Environment(), ddraw.ExePath());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ListLines(dialog).size(), 2u);
    Click(dialog, kSave);
    ExpectExit();
    EXPECT_EQ(StoredDeviceId(), TestGuid(1));
}
