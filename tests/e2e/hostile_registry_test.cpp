// Whatever an older version, another tool or a hand edit left in the key, the tool
// shows the default, writes back a proper value and touches nothing else. A key it
// cannot write is shown as stored, and "Save" then says so in one box; one that lets
// values be set, though not more, is saved as usual.
#include <windows.h>
#include <sddl.h>

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

std::string FormName(const ::testing::TestParamInfo<int>& info) {
    const StoredValue& value = kHostileValues[info.param];
    return "Type" + std::to_string(value.type) + "_" + std::to_string(value.bytes.size()) + "Bytes";
}

}  // namespace

class HostileValue : public ToolTest, public ::testing::WithParamInterface<int> {};

// One launch per form, with all eight loaded values stored in it: each shows its own default.
TEST_P(HostileValue, ShowsTheDefaultAndIsWrittenBackAsAFourByteDword) {
    const StoredValue& hostile = kHostileValues[GetParam()];
    for (const ExpectedStoredValue& value : kExpectedLoaded) WriteToolValue(value.name, hostile.type, hostile.bytes);
    WriteToolValue("Left by another tool", REG_SZ, {'x', '\0'});

    RunTool([&](HWND dialog) {
        for (int i = 0; i < 8; ++i) EXPECT_TRUE(IsChecked(dialog, kDefaultControls[i])) << kExpectedLoaded[i].name;
        Click(dialog, kSave);
    });

    KeyValues expected = DefaultSave();
    expected["Left by another tool"] = {REG_SZ, {'x', '\0'}};
    EXPECT_EQ(ReadToolKey(), expected);
}

INSTANTIATE_TEST_SUITE_P(Registry, HostileValue, ::testing::Range(0, 13), FormName);

namespace {

const char kOstrand[] = "Software\\Ostrand";

// The tool's key with two stored values, and an access list that lets everyone do what it says.
void MakeKeyWithAccess(const char* sddl) {
    WriteToolDword("Allow D3D HAL", 0);
    WriteToolDword("Z-Buffer bit depth", 32);
    HKEY key;
    PSECURITY_DESCRIPTOR access = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kToolKey, 0, WRITE_DAC, &key), ERROR_SUCCESS);
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &access, nullptr));
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, access), ERROR_SUCCESS);
    LocalFree(access);
    RegCloseKey(key);
}

// Read, and delete for the clean-up; or only query values (0x1) and delete; or read, write
// and delete, but not its security or owner.
void MakeReadOnlyKey() { MakeKeyWithAccess("D:(A;;KRSD;;;WD)"); }
void MakeQueryOnlyKey() { MakeKeyWithAccess("D:(A;;0x10001;;;WD)"); }
void MakeValueRightsKey() { MakeKeyWithAccess("D:(A;;KRKWSD;;;WD)"); }

// HKCU\Software\Ostrand made volatile: the tool's key cannot be created under it.
void MakeVolatileParent() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kOstrand);
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kOstrand, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void RemoveTheKeys() {
    DeleteToolKey();
    RegDeleteKeyA(HKEY_CURRENT_USER, kOstrand);  // a volatile one, or the empty one left
}

struct Unwritable {
    const char* label;
    void (*setUp)();
    std::vector<int> shown;  // the controls checked at start
    DWORD error;             // the first failure's code; none: Save stores
};

}  // namespace

class UnwritableKey : public ToolTest, public ::testing::WithParamInterface<Unwritable> {
protected:
    void TearDown() override { RemoveTheKeys(); }
};

// One run ends with Cancel, a second with Save.
TEST_P(UnwritableKey, ShowsWhatIsStoredAndSaveStoresItOrReportsTheKeyAndTheReasonInOneBox) {
    for (const int ending : {kCancel, kSave}) {
        SCOPED_TRACE(ending == kSave ? "Save" : "Cancel");
        RemoveTheKeys();
        GetParam().setUp();
        const KeyValues before = ReadToolKey();
        HWND dialog = Launch();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(CheckedControls(dialog), GetParam().shown);
        Click(dialog, kHal);
        Click(dialog, ending);
        const bool stores = ending == kSave && GetParam().error == ERROR_SUCCESS;
        if (ending == kSave && !stores) {
            HWND box = nullptr;
            ASSERT_TRUE(WaitUntil(
                [&] { return !IsWindow(dialog) && (box = FindProcessWindow(m_tool.Pid(), "#32770", "Varek Setup")); },
                5000));
            EXPECT_EQ(BoxText(box), L"The settings could not be saved in the registry key\n"
                                    L"HKEY_CURRENT_USER\\Software\\Ostrand\\Varek 3D\n\n" +
                                        SystemText(GetParam().error));
            // The instance ended with its key: a launch while the box is up gets its own dialog.
            ToolProcess next;
            ASSERT_TRUE(next.Start(ToolExePath()));
            HWND nextDialog = next.WaitForDialog();
            ASSERT_NE(nextDialog, nullptr) << "a launch while the box is up showed no dialog";
            Click(nextDialog, kCancel);
            EXPECT_TRUE(next.WaitForExit());
            // Clicked, not keyed: with no window manager, Wine gives the foreground back to
            // no window of another process once that dialog has gone.
            Click(box, IDOK);
        }
        ExpectExit();  // with no box after Cancel or a stored Save, or the box closed
        EXPECT_EQ(ReadToolKey(), stores ? SavedValues(1, 1, 32, 16, 1, 1, 1, 1, 1, AllBytes(0xFF)) : before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Registry, UnwritableKey,
    ::testing::Values(Unwritable{"ReadOnlySecurity", MakeReadOnlyKey,
                                 {kMmx, kRgb, kExecSingle, kColor16, kZ32, k3DNow, kNoArgb1555}, ERROR_ACCESS_DENIED},
                      Unwritable{"QueryValueOnly", MakeQueryOnlyKey,
                                 {kMmx, kRgb, kExecSingle, kColor16, kZ32, k3DNow, kNoArgb1555}, ERROR_ACCESS_DENIED},
                      Unwritable{"VolatileParent", MakeVolatileParent,
                                 {kHal, kMmx, kRgb, kExecSingle, kColor16, kZ16, k3DNow, kNoArgb1555},
                                 ERROR_CHILD_MUST_BE_VOLATILE},
                      Unwritable{"ValueRightsOnly", MakeValueRightsKey,
                                 {kMmx, kRgb, kExecSingle, kColor16, kZ32, k3DNow, kNoArgb1555}, ERROR_SUCCESS}),
    [](const ::testing::TestParamInfo<Unwritable>& info) { return std::string(info.param.label); });
