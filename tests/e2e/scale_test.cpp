// Many devices and very long device texts: every line is listed and the chosen
// device is the one stored.
#include <cstdio>
#include <map>

#include "harness/tool_test.h"

using Scale = ToolTest;

namespace {
void SaveLine(HWND dialog, int line) {
    SelectLine(dialog, line);
    Click(dialog, kSave);
}
}  // namespace

TEST_F(Scale, AThousandDevicesAreAllListedAndTheChosenOneIsStored) {
    std::vector<ScriptedDevice> devices;
    std::map<std::string, int> deviceOfLine;
    for (int n = 0; n < 1000; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "card%04d", (n * 379) % 1000);  // reported out of line order
        devices.push_back({TestGuid(n), name, "Accelerator"});
        deviceOfLine[std::string(name) + " - Accelerator"] = n;
    }
    ScriptedDirectDraw ddraw(devices);
    HWND dialog = Launch(ddraw.Environment(), ddraw.ExePath());
    ASSERT_NE(dialog, nullptr);
    const std::vector<std::string> lines = ListLines(dialog);
    ASSERT_EQ(lines.size(), 1000u);
    EXPECT_EQ(lines.front(), "card0000 - Accelerator");
    EXPECT_EQ(lines.back(), "card0999 - Accelerator");
    SaveLine(dialog, 617);
    ExpectExit();
    EXPECT_EQ(ReadToolKey()["Direct Draw Device ID"], Binary(TestGuid(deviceOfLine[lines[617]])));
}

TEST_F(Scale, DescriptionsOf64KiBAreListedWhole) {
    const std::string longText(64 * 1024, 'D');
    const std::string otherText(64 * 1024 - 1, 'E');
    ScriptedDirectDraw ddraw({{{}, "display", longText}, {TestGuid(7), "wide", otherText + "\xE9"}});
    HWND dialog = Launch(ddraw.Environment(), ddraw.ExePath());
    ASSERT_NE(dialog, nullptr);
    const std::vector<std::string> lines = ListLines(dialog);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "display - " + longText);
    EXPECT_EQ(lines[1], "wide - " + otherText + "\xE9");
    SaveLine(dialog, 0);
    ExpectExit();
    EXPECT_EQ(ReadToolKey()["Use Default Direct Draw"], Dword(1));
    EXPECT_EQ(ReadToolKey()["Direct Draw Device ID"], Binary(AllBytes(0xFF)));
}

TEST_F(Scale, WithA64KiBDescriptionNoSelectionStoresTheNewestReport) {
    ScriptedDirectDraw ddraw({{{}, "display", "Primary"}, {TestGuid(9), "long", std::string(64 * 1024, 'L')}});
    RunTool(ddraw, [](HWND dialog) { Click(dialog, kSave); });
    EXPECT_EQ(ReadToolKey()["Direct Draw Device ID"], Binary(TestGuid(9)));
}
