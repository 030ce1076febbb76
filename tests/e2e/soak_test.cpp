// Many runs in a row, each with random clicks, a random device line or none and a
// random way of closing, checked against a model of what must be stored.
//   VAREK_SOAK_RUNS  number of runs (10 by default)
//   VAREK_SOAK_SEED  seed of the run sequence (printed, so a failure can be replayed)
#include "harness/tool_test.h"

#include <tlhelp32.h>

#include <cstdlib>
#include <map>
#include <random>

namespace {

unsigned EnvironmentNumber(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

// What the tool must have in mind: the eight loaded values, in the order "Save" writes them.
struct Model {
    DWORD allow3DNow, noArgb1555, zDepth, colorDepth, execBuffers, hal, mmx, rgb;

    // The value loaded for kExpectedLoaded[i].
    static DWORD Loaded(const KeyValues& key, int i) {
        auto it = key.find(kExpectedLoaded[i].name);
        if (it == key.end() || it->second.type != REG_DWORD || it->second.bytes.size() != 4)
            return kExpectedLoaded[i].loadDefault;
        const std::vector<uint8_t>& b = it->second.bytes;
        return b[0] | b[1] << 8 | b[2] << 16 | static_cast<DWORD>(b[3]) << 24;
    }

    explicit Model(const KeyValues& key)
        : allow3DNow(Loaded(key, 0)),
          noArgb1555(Loaded(key, 1)),
          zDepth(Loaded(key, 2)),
          colorDepth(Loaded(key, 3)),
          execBuffers(Loaded(key, 4)),
          hal(Loaded(key, 5)),
          mmx(Loaded(key, 6)),
          rgb(Loaded(key, 7)) {}

    void Click(int id) {
        switch (id) {
        case kHal: hal = !hal; break;
        case kMmx: mmx = !mmx; break;
        case kRgb: rgb = !rgb; break;
        case k3DNow: allow3DNow = !allow3DNow; break;
        case kNoArgb1555: noArgb1555 = !noArgb1555; break;
        case kExecSingle: execBuffers = 1; break;
        case kExecDual: execBuffers = 2; break;
        case kColor8: colorDepth = 8; break;
        case kColor16: colorDepth = 16; break;
        case kColor24: colorDepth = 24; break;
        case kColor32: colorDepth = 32; break;
        case kZ8: zDepth = 8; break;
        case kZ16: zDepth = 16; break;
        case kZ24: zDepth = 24; break;
        case kZ32: zDepth = 32; break;
        }
    }
};

const int kClickable[] = {kHal,    kMmx,     kRgb,     k3DNow,  kNoArgb1555, kExecSingle, kExecDual, kColor8,
                          kColor16, kColor24, kColor32, kZ8,     kZ16,        kZ24,        kZ32};

// Values another version or a hand edit might have left, one of which a run may plant.
const std::pair<const char*, StoredValue> kOddValues[] = {
    {"Allow D3D HAL", Dword(7)},
    {"Color buffer bit depth", Dword(15)},
    {"Z-Buffer bit depth", Dword(0xFFFFFFFF)},
    {"Allow D3D MMX", {REG_SZ, {'0', '\0'}}},
    {"Number of execute buffers", {REG_DWORD_BIG_ENDIAN, {0, 0, 0, 2}}},
    {"Allow 3DNow", {REG_DWORD, {0, 0}}},
};

enum class Ending { Save, Enter, Cancel, Escape, CloseBox };

int ToolProcessesLeft() {
    int count = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (_stricmp(entry.szExeFile, "Varek Setup.exe") == 0) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

}  // namespace

using Soak = ToolTest;

TEST_F(Soak, RandomRunsStoreWhatTheModelSays) {
    const unsigned runs = EnvironmentNumber("VAREK_SOAK_RUNS", 10);
    const unsigned seed = EnvironmentNumber("VAREK_SOAK_SEED", 1);
    std::printf("soak: %u runs, seed %u\n", runs, seed);
    std::mt19937 random(seed);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };

    // Reported in this order; the list box sorts the lines, and the newest report (gamma) is the head.
    ScriptedDirectDraw ddraw({{{}, "display", "Primary"}, {TestGuid(1), "beta", "Second Card"},
                              {TestGuid(2), "alpha", "First Card"}, {TestGuid(3), "gamma", "Third Card"}});
    const std::map<std::string, std::pair<DWORD, std::vector<uint8_t>>> deviceOfLine = {
        {"display - Primary", {1, AllBytes(0xFF)}},
        {"beta - Second Card", {0, TestGuid(1)}},
        {"alpha - First Card", {0, TestGuid(2)}},
        {"gamma - Third Card", {0, TestGuid(3)}},
    };
    WriteToolValue("Left by another tool", REG_SZ, {'x', '\0'});

    int mismatches = 0;
    for (unsigned run = 1; run <= runs; ++run) {
        SCOPED_TRACE("soak run " + std::to_string(run) + " of seed " + std::to_string(seed));
        if (below(4) == 0) {
            const auto& odd = kOddValues[below(static_cast<int>(std::size(kOddValues)))];
            WriteToolValue(odd.first, odd.second.type, odd.second.bytes);
        }
        const KeyValues before = ReadToolKey();
        Model model(before);

        ToolProcess tool;
        ASSERT_TRUE(tool.Start(ddraw.ExePath(), ddraw.Environment()));
        HWND dialog = tool.WaitForDialog();
        ASSERT_NE(dialog, nullptr);
        const std::vector<std::string> lines = ListLines(dialog);
        ASSERT_EQ(lines.size(), 4u);

        for (int clicks = below(9); clicks > 0; --clicks) {
            const int id = kClickable[below(static_cast<int>(std::size(kClickable)))];
            Click(dialog, id);
            model.Click(id);
        }
        const int line = below(5) - 1;  // -1: no line selected
        if (line >= 0) SelectLine(dialog, line);

        const Ending ending = static_cast<Ending>(below(5));
        switch (ending) {
        case Ending::Save: Click(dialog, kSave); break;
        case Ending::Cancel: Click(dialog, kCancel); break;
        case Ending::Enter: ASSERT_TRUE(PressKeys(dialog, "Return")); break;
        case Ending::Escape: ASSERT_TRUE(PressKeys(dialog, "Escape")); break;
        case Ending::CloseBox: PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        }
        DWORD exitCode = 1;
        ASSERT_TRUE(tool.WaitForExit(15000, &exitCode));
        EXPECT_EQ(exitCode, 0u);

        KeyValues expected = before;
        if (ending == Ending::Save || ending == Ending::Enter) {
            const auto& device = deviceOfLine.at(line >= 0 ? lines[line] : "gamma - Third Card");
            for (auto& [name, value] : SavedValues(model.allow3DNow, model.noArgb1555, model.zDepth, model.colorDepth,
                                                   model.execBuffers, model.hal, model.mmx, model.rgb, device.first,
                                                   device.second)) {
                expected[name] = value;
            }
        }
        const bool matches = ReadToolKey() == expected;
        EXPECT_TRUE(matches);
        mismatches += matches ? 0 : 1;
    }
    std::printf("soak: %u runs, %d mismatches, %d tool processes left\n", runs, mismatches, ToolProcessesLeft());
    EXPECT_EQ(ToolProcessesLeft(), 0);
}
