// Whatever an older version, another tool or a hand edit left in the key, the tool
// shows the default, writes back a proper value and touches nothing else.
#include "harness/tool_test.h"

namespace {

// The control that shows each loaded value's default as checked, in load order.
const int kDefaultControls[8] = {k3DNow, kNoArgb1555, kZ16, kColor16, kExecSingle, kHal, kMmx, kRgb};

// Each is a number a careless reader would take (8 where it can), in a form that is not a 4-byte REG_DWORD.
const StoredValue kHostileValues[] = {
    {REG_SZ, {'8', '\0'}},
    {REG_EXPAND_SZ, {'8', '\0'}},
    {REG_MULTI_SZ, {'8', '\0', '\0'}},
    {REG_BINARY, {8, 0, 0, 0}},
    {REG_DWORD_BIG_ENDIAN, {0, 0, 0, 8}},
    {REG_QWORD, {8, 0, 0, 0, 0, 0, 0, 0}},
    {REG_NONE, {8, 0, 0, 0}},
    {REG_DWORD, {}},
    {REG_DWORD, {8}},
    {REG_DWORD, {8, 0}},
    {REG_DWORD, {8, 0, 0}},
    {REG_DWORD, {8, 0, 0, 0, 0}},
    {REG_BINARY, std::vector<uint8_t>(1024 * 1024, 8)},
};

using Case = std::tuple<int, int>;  // loadable, hostile value

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    std::string name;
    for (const char* c = kExpectedLoaded[std::get<0>(info.param)].name; *c != '\0'; ++c) {
        if (isalnum(static_cast<unsigned char>(*c))) name.push_back(*c);
    }
    const StoredValue& value = kHostileValues[std::get<1>(info.param)];
    return name + "_Type" + std::to_string(value.type) + "_" + std::to_string(value.bytes.size()) + "Bytes";
}

}  // namespace

class HostileValue : public ToolTest, public ::testing::WithParamInterface<Case> {};

TEST_P(HostileValue, ShowsTheDefaultAndIsWrittenBackAsAFourByteDword) {
    const ExpectedStoredValue& loadable = kExpectedLoaded[std::get<0>(GetParam())];
    const StoredValue& hostile = kHostileValues[std::get<1>(GetParam())];
    WriteToolValue(loadable.name, hostile.type, hostile.bytes);
    WriteToolValue("Left by another tool", REG_SZ, {'x', '\0'});

    RunTool([&](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, kDefaultControls[std::get<0>(GetParam())]));
        Click(dialog, kSave);
    });

    KeyValues expected = DefaultSave();
    expected["Left by another tool"] = {REG_SZ, {'x', '\0'}};
    EXPECT_EQ(ReadToolKey(), expected);
    EXPECT_EQ(ReadToolKey()[loadable.name], Dword(loadable.loadDefault));
}

INSTANTIATE_TEST_SUITE_P(Registry, HostileValue,
                         ::testing::Combine(::testing::Range(0, 8), ::testing::Range(0, 13)), CaseName);
