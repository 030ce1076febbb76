// The settings store against an in-memory key: the calls it makes, in what order,
// and what it makes of values that are missing or of the wrong type or size.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fakes/fake_registry.h"
#include "stored_values.h"
#include "settings/settings_store.h"

namespace {

const char kCreateWithBackslash[] = "CreateKey HKCU \\Software\\Ostrand\\Varek 3D [Varek 3D] 0 0xF003F";
const char kCreateWithout[] = "CreateKey HKCU Software\\Ostrand\\Varek 3D [Varek 3D] 0 0xF003F";
const char kSetWithBackslash[] = "CreateKey HKCU \\Software\\Ostrand\\Varek 3D [Varek 3D] 0 0x3";
const char kSetWithout[] = "CreateKey HKCU Software\\Ostrand\\Varek 3D [Varek 3D] 0 0x3";
const char kReadWithBackslash[] = "CreateKey HKCU \\Software\\Ostrand\\Varek 3D [Varek 3D] 0 0x1";
const char kReadWithout[] = "CreateKey HKCU Software\\Ostrand\\Varek 3D [Varek 3D] 0 0x1";
using Trace = std::vector<std::string>;

// The eight loaded values, in the order they are read and the first eight are written.
const std::vector<std::string> kLoadedNames = [] {
    std::vector<std::string> names;
    for (const ExpectedStoredValue& value : kExpectedLoaded) names.push_back(value.name);
    return names;
}();
const std::vector<DWORD> kDefaults = [] {
    std::vector<DWORD> defaults;
    for (const ExpectedStoredValue& value : kExpectedLoaded) defaults.push_back(value.loadDefault);
    return defaults;
}();

Trace Traced(const std::string& verb, std::vector<std::string> names) {
    for (std::string& name : names) name = verb + name;
    return names;
}

// The loaded fields in kLoadedNames order.
std::vector<DWORD> Loaded(const RenderSettings& s) {
    return {s.Allow3DNow,         s.NoArgb1555Textures, s.ZBufferBitDepth, s.ColorBufferBitDepth,
            s.ExecuteBufferCount, s.AllowD3DHAL,        s.AllowD3DMMX,     s.AllowD3DRGB};
}

class SettingsStoreTest : public ::testing::Test {
protected:
    SettingsStoreTest() { std::memset(&settings, 0xAB, sizeof settings); }  // a field left alone shows

    FakeRegistry registry;
    SettingsStore store{registry};
    RenderSettings settings;
};

class SettingsOpen : public SettingsStoreTest {};
class SettingsLoad : public SettingsStoreTest {};
class SettingsSave : public SettingsStoreTest {};
class SettingsClose : public SettingsStoreTest {};

// For writing first (after access denied, for setting values only), then, only when that
// fails, for reading values; each time the backslash path first, the one without it only
// after ERROR_BAD_PATHNAME. A key opened at all loads what it holds.
TEST(SettingsOpen, RetriesOnlyARefusedBackslashAndOnlyAFailedOpenForWritingForReading) {
    const struct {
        bool refuseBackslash;
        LONG createError, writeError;
        bool writable, loads;
        Trace trace;
        REGSAM granted = KEY_READ;
    } cases[] = {
        {true, 0, 0, true, true, {kCreateWithBackslash, kCreateWithout}},
        {false, 0, 0, true, true, {kCreateWithBackslash}},
        {false, ERROR_ACCESS_DENIED, 0, false, false, {kCreateWithBackslash, kSetWithBackslash, kReadWithBackslash}},
        {true, ERROR_BAD_PATHNAME, 0, false, false,
         {kCreateWithBackslash, kCreateWithout, kReadWithBackslash, kReadWithout}},
        {true, 0, ERROR_ACCESS_DENIED, false, true,
         {kCreateWithBackslash, kCreateWithout, kSetWithBackslash, kSetWithout, kReadWithBackslash, kReadWithout}},
        // A key that grants reading values and nothing more: no enumerating, no notifying.
        {true, 0, ERROR_ACCESS_DENIED, false, true,
         {kCreateWithBackslash, kCreateWithout, kSetWithBackslash, kSetWithout, kReadWithBackslash, kReadWithout},
         KEY_QUERY_VALUE},
        // A key that grants reading, writing and deleting, but not its security or owner.
        {true, 0, ERROR_ACCESS_DENIED, true, true,
         {kCreateWithBackslash, kCreateWithout, kSetWithBackslash, kSetWithout}, 0x3001F},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        FakeRegistry registry;
        registry.refuseLeadingBackslash = c.refuseBackslash;
        registry.createKeyError = c.createError;
        registry.writeAccessError = c.writeError;
        registry.grantedAccess = c.granted;
        registry.PutDword("Allow D3D MMX", 0);
        SettingsStore store(registry);
        EXPECT_EQ(store.Open(), c.writable) << c.trace.size() << " calls expected";
        EXPECT_EQ(registry.trace, c.trace);
        RenderSettings settings;
        store.Load(settings);
        EXPECT_EQ(settings.AllowD3DMMX, c.loads ? 0u : 1u);
    }
}

TEST_F(SettingsLoad, EmptyKeyAndRestoreDefaultsGiveEveryDefaultAndLeaveTheDeviceFieldsAlone) {
    RenderSettings restored = settings;
    RestoreDefaults(restored);
    ASSERT_TRUE(store.Open());
    store.Load(settings);
    for (const auto& [name, s] : std::map<std::string, RenderSettings>{{"loaded", settings}, {"restored", restored}}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Loaded(s), kDefaults);
        EXPECT_EQ(s.UseDefaultDirectDraw, 0xABABABABu);
        EXPECT_EQ(s.DirectDrawDeviceId.Data1, 0xABABABABu);
    }
}

TEST_F(SettingsLoad, RefusedOpenGivesEveryDefaultWithoutReading) {
    registry.createKeyError = ERROR_ACCESS_DENIED;
    registry.PutDword("Allow 3DNow", 0);
    EXPECT_FALSE(store.Open());
    store.Load(settings);
    EXPECT_EQ(Loaded(settings), kDefaults);
    EXPECT_EQ(registry.trace, (Trace{kCreateWithBackslash, kSetWithBackslash, kReadWithBackslash}));
}

TEST_F(SettingsLoad, ReadsEachValueIntoItsOwnFieldInSaveOrder) {
    const DWORD stored[] = {10, 11, 24, 32, 2, 12, 13, 14};
    for (int i = 0; i < 8; ++i) registry.PutDword(kLoadedNames[i], stored[i]);
    ASSERT_TRUE(store.Open());
    registry.trace.clear();
    store.Load(settings);
    EXPECT_EQ(Loaded(settings), (std::vector<DWORD>{10, 11, 24, 32, 2, 12, 13, 14}));
    EXPECT_EQ(registry.trace, Traced("Query ", kLoadedNames));
}

TEST_F(SettingsLoad, MissingValueTakesItsOwnDefaultNotThePreviousOne) {
    registry.PutDword("Allow 3DNow", 0);
    registry.PutDword("Z-Buffer bit depth", 24);
    registry.PutDword("Number of execute buffers", 2);
    registry.PutDword("Allow D3D MMX", 0);
    ASSERT_TRUE(store.Open());
    store.Load(settings);
    EXPECT_EQ(Loaded(settings), (std::vector<DWORD>{0, 1, 24, 16, 2, 1, 0, 1}));
}

struct UnusableValue {
    const char* label;
    DWORD type;
    std::vector<BYTE> bytes;
};

class SettingsLoadWrongType : public SettingsStoreTest, public ::testing::WithParamInterface<UnusableValue> {};

// Every payload would read as a number other than the default if its type or size were ignored.
TEST_P(SettingsLoadWrongType, TakesTheDefault) {
    for (const std::string& name : kLoadedNames) registry.values[name] = {GetParam().type, GetParam().bytes};
    ASSERT_TRUE(store.Open());
    store.Load(settings);
    EXPECT_EQ(Loaded(settings), kDefaults);
}

INSTANTIATE_TEST_SUITE_P(
    AnythingButAFourByteDword, SettingsLoadWrongType,
    ::testing::ValuesIn(std::vector<UnusableValue>{
        {"String", REG_SZ, {'2', '4', 0, 0}},           {"ExpandString", REG_EXPAND_SZ, {'%', 'a', '%', 0}},
        {"MultiString", REG_MULTI_SZ, {'a', 'b', 0, 0}}, {"FourByteBinary", REG_BINARY, {2, 0, 0, 0}},
        {"BigEndianDword", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 2}}, {"None", REG_NONE, {2, 0, 0, 0}},
        {"Qword", REG_QWORD, {2, 0, 0, 0, 0, 0, 0, 0}},  {"EmptyDword", REG_DWORD, {}},
        {"OneByteDword", REG_DWORD, {2}},                {"TwoByteDword", REG_DWORD, {2, 0}},
        {"ThreeByteDword", REG_DWORD, {2, 0, 0}},        {"FiveByteDword", REG_DWORD, {2, 0, 0, 0, 0}}}),
    [](const ::testing::TestParamInfo<UnusableValue>& info) { return std::string(info.param.label); });

// Every field distinct, so a swapped, skipped or reordered field shows. In the record's
// order: 3DNow, Z-buffer, colour, execute buffers, HAL, MMX, RGB, no ARGB-1555, default device.
const RenderSettings kEdited = {0x01020304, 24, 32, 2, 6, 7, 8, 5, 9,
                                {0x11223344, 0x5566, 0x7788, {0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00}}};

TEST_F(SettingsSave, WritesTheTenValuesInOrderAndLeavesOthersAlone) {
    registry.values["Window position"] = {REG_SZ, {'1', '0', 0}};
    ASSERT_TRUE(store.Open());
    registry.trace.clear();
    store.Save(kEdited);
    Trace writes = Traced("Set ", kLoadedNames);
    writes.push_back("Set Use Default Direct Draw");
    writes.push_back("Set Direct Draw Device ID");
    EXPECT_EQ(registry.trace, writes);
    const std::map<std::string, RegValue> expected = {
        {"Window position", {REG_SZ, {'1', '0', 0}}},
        {"Allow 3DNow", {REG_DWORD, {4, 3, 2, 1}}},
        {"Do not use ARGB-1555 textures", {REG_DWORD, {5, 0, 0, 0}}},
        {"Z-Buffer bit depth", {REG_DWORD, {24, 0, 0, 0}}},
        {"Color buffer bit depth", {REG_DWORD, {32, 0, 0, 0}}},
        {"Number of execute buffers", {REG_DWORD, {2, 0, 0, 0}}},
        {"Allow D3D HAL", {REG_DWORD, {6, 0, 0, 0}}},
        {"Allow D3D MMX", {REG_DWORD, {7, 0, 0, 0}}},
        {"Allow D3D RGB", {REG_DWORD, {8, 0, 0, 0}}},
        {"Use Default Direct Draw", {REG_DWORD, {9, 0, 0, 0}}},
        {"Direct Draw Device ID",
         {REG_BINARY,
          {0x44, 0x33, 0x22, 0x11, 0x66, 0x55, 0x88, 0x77, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x00}}}};
    EXPECT_EQ(registry.values, expected);
}

TEST_F(SettingsSave, FailedWriteDoesNotStopTheLaterOnes) {
    for (int failing = 0; failing < 10; ++failing) {
        SCOPED_TRACE("failing write " + std::to_string(failing));
        FakeRegistry key;
        key.failSetIndex = failing;
        SettingsStore failingStore(key);
        ASSERT_TRUE(failingStore.Open());
        failingStore.Save(kEdited);
        EXPECT_EQ(key.trace.size(), 12u);
        EXPECT_EQ(key.values.size(), 9u);
    }
    registry.failSetName = "Allow 3DNow";
    ASSERT_TRUE(store.Open());
    store.Save(kEdited);
    EXPECT_EQ(registry.values.count("Allow 3DNow"), 0u);
    EXPECT_EQ(registry.values.size(), 9u);
}

// A key not open for writing gets no write: none open at all, not even a Close. Only the
// writes that succeeded count as written, so that a failed save can say whether any did.
TEST_F(SettingsSave, ReportsTheFailedOpenOrTheFirstFailingWriteAndWritesOnlyToAWritableKey) {
    const struct {
        LONG createError, writeError;
        std::vector<LONG> setErrors;
        LONG reported;
        int written;
        size_t callsAfterOpen;  // ten Sets and a Close; a Close alone; nothing
    } cases[] = {
        {0, 0, {}, ERROR_SUCCESS, 10, 11},
        {0, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1021}, 1021, 9, 11},
        {0, 0, {0, 0, 14, 0, 5}, 14, 8, 11},
        {0, 0, {5, 14}, 5, 8, 11},
        {0, 0, {5, 5, 5, 5, 5, 5, 5, 5, 5, 5}, 5, 0, 11},
        {0, ERROR_ACCESS_DENIED, {}, ERROR_ACCESS_DENIED, 0, 1},
        {1021, 0, {}, 1021, 0, 0},  // ERROR_CHILD_MUST_BE_VOLATILE
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        FakeRegistry key;
        key.createKeyError = c.createError;
        key.writeAccessError = c.writeError;
        key.setErrors = c.setErrors;
        SettingsStore failingStore(key);
        failingStore.Open();
        key.trace.clear();
        int written = -1;
        EXPECT_EQ(failingStore.Save(kEdited, &written), c.reported) << "errors given: " << c.setErrors.size();
        EXPECT_EQ(written, c.written);
        failingStore.Close();
        EXPECT_EQ(key.trace.size(), c.callsAfterOpen) << "reported " << c.reported;
    }
}

TEST_F(SettingsSave, WithNoKeyOpenReportsAnInvalidHandleAndWritesNothing) {
    EXPECT_EQ(store.Save(kEdited), 6);  // ERROR_INVALID_HANDLE: before Open...
    ASSERT_TRUE(store.Open());
    store.Close();
    EXPECT_EQ(store.Save(kEdited), 6);  // ...and after Close
    EXPECT_EQ(registry.trace, (Trace{kCreateWithBackslash, kCreateWithout, "Close"}));
}

TEST_F(SettingsClose, ClosesTheOpenedKeyOnce) {
    ASSERT_TRUE(store.Open());
    store.Close();
    store.Close();
    EXPECT_EQ(registry.trace, (Trace{kCreateWithBackslash, kCreateWithout, "Close"}));
}

}  // namespace
