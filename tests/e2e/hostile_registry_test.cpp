// Whatever an older version, another tool or a hand edit left in the key, the tool
// shows the default, writes back a proper value and touches nothing else.
#include "harness/tool_test.h"

namespace {

struct Loadable {
    const char* name;
    DWORD defaultValue;
    int defaultControl;  // the control that shows the default as checked
};

const Loadable kLoadables[] = {
    {"Allow 3DNow", 1, k3DNow},
    {"Do not use ARGB-1555 textures", 1, kNoArgb1555},
    {"Z-Buffer bit depth", 16, kZ16},
    {"Color buffer bit depth", 16, kColor16},
    {"Number of execute buffers", 1, kExecSingle},
    {"Allow D3D HAL", 1, kHal},
    {"Allow D3D MMX", 1, kMmx},
    {"Allow D3D RGB", 1, kRgb},
};

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
    const Loadable& loadable = kLoadables[std::get<0>(info.param)];
    std::string name;
    for (const char* c = loadable.name; *c != '\0'; ++c) {
        if (isalnum(static_cast<unsigned char>(*c))) name.push_back(*c);
    }
    const StoredValue& value = kHostileValues[std::get<1>(info.param)];
    return name + "_Type" + std::to_string(value.type) + "_" + std::to_string(value.bytes.size()) + "Bytes";
}

}  // namespace

class HostileValue : public ToolTest, public ::testing::WithParamInterface<Case> {};

TEST_P(HostileValue, ShowsTheDefaultAndIsWrittenBackAsAFourByteDword) {
    const Loadable& loadable = kLoadables[std::get<0>(GetParam())];
    const StoredValue& hostile = kHostileValues[std::get<1>(GetParam())];
    WriteToolValue(loadable.name, hostile.type, hostile.bytes);
    WriteToolValue("Left by another tool", REG_SZ, {'x', '\0'});

    RunTool([&](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, loadable.defaultControl));
        Click(dialog, kSave);
    });

    KeyValues expected = DefaultSave();
    expected["Left by another tool"] = {REG_SZ, {'x', '\0'}};
    EXPECT_EQ(ReadToolKey(), expected);
    EXPECT_EQ(ReadToolKey()[loadable.name], Dword(loadable.defaultValue));
}

INSTANTIATE_TEST_SUITE_P(Registry, HostileValue,
                         ::testing::Combine(::testing::Range(0, 8), ::testing::Range(0, 13)), CaseName);
