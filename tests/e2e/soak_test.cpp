// Many runs in a row, each with random clicks, a random device line or none and a
// random way of closing, checked against a model of what must be stored. About half the
// runs are driven with real mouse clicks and keys: a crash in a handler that runs for a
// message sent from another process is swallowed by Wine, one under real input is not.
//   VAREK_SOAK_RUNS    number of runs (10 by default)
//   VAREK_SOAK_SEED    seed of the run sequence (printed, so a failure can be replayed)
//   VAREK_WINE_ERRORS  the file that takes this program's error output, and so the
//                      tool's: a fault Wine reports there fails the run
#include "harness/tool_test.h"

#include <tlhelp32.h>

#include <cstdio>
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

std::string MouseClick(HWND control) {
    const POINT at = CentreOf(control);
    // No --sync: it waits for the pointer to move, forever when it is already there.
    return "mousemove " + std::to_string(at.x) + " " + std::to_string(at.y) + " click 1 sleep 0.05 ";
}

// One run's input as a user makes it: mouse clicks on the controls; the line chosen with
// the keyboard, as the list shows one line at a time; the ending by mouse or key.
std::string RealInput(HWND dialog, const std::vector<int>& clicks, int line, Ending ending) {
    std::string commands;
    for (int id : clicks) commands += MouseClick(GetDlgItem(dialog, id));
    if (line >= 0) {
        commands += MouseClick(GetDlgItem(dialog, kDeviceList)) + "key Home";
        for (int i = 0; i < line; ++i) commands += " Down";
        commands += " sleep 0.05 ";
    }
    switch (ending) {
    case Ending::Save: return commands + MouseClick(GetDlgItem(dialog, kSave));
    case Ending::Cancel: return commands + MouseClick(GetDlgItem(dialog, kCancel));
    case Ending::Enter: return commands + "key Return";
    case Ending::Escape: return commands + "key Escape";
    case Ending::CloseBox: return commands + "key alt+F4";
    }
    return commands;
}

// Wine's own fault lines, not any line that says "default": each unhandled exception as
// "wine: Unhandled page fault on read access to ... (thread 0024), starting debugger..." (or
// "Unhandled exception 0x...", "Unimplemented function ... called", ...), and "err:seh:" lines.
bool IsFaultReport(const std::string& line) {
    return (line.rfind("wine: ", 0) == 0 && line.find(", starting debugger...") != std::string::npos) ||
           line.rfind("err:seh:", 0) == 0;
}

std::string NewFaultReports() {
    static long offset = 0;
    const char* path = std::getenv("VAREK_WINE_ERRORS");
    if (path == nullptr || *path == '\0') return "";
    FILE* file = std::fopen(WindowsPath(path).c_str(), "rb");
    if (file == nullptr) return "";
    std::fseek(file, offset, SEEK_SET);
    std::string reports;
    char line[512];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (IsFaultReport(line)) reports += line;
    }
    offset = std::ftell(file);
    std::fclose(file);
    return reports;
}

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

    int mismatches = 0, faults = 0, realRuns = 0;
    unsigned done = 0;
    ToolProcess tool;  // one for all runs: each start must let the last run's process go
    NewFaultReports();  // what came before the first run is not the tool's
    for (unsigned run = 1; run <= runs; ++run, ++done) {
        SCOPED_TRACE("soak run " + std::to_string(run) + " of seed " + std::to_string(seed));
        if (run % 100 == 1 && run > 1) {
            std::printf("soak: %u of %u runs, %d mismatches, %d faults\n", run - 1, runs, mismatches, faults);
            std::fflush(stdout);
        }
        if (below(4) == 0) {
            const auto& odd = kOddValues[below(static_cast<int>(std::size(kOddValues)))];
            WriteToolValue(odd.first, odd.second.type, odd.second.bytes);
        }
        const KeyValues before = ReadToolKey();
        Model model(before);

        std::vector<int> clicks;
        for (int n = below(9); n > 0; --n) clicks.push_back(kClickable[below(static_cast<int>(std::size(kClickable)))]);
        const int line = below(5) - 1;  // -1: no line selected
        const Ending ending = static_cast<Ending>(below(5));
        const bool real = below(2) == 0;
        realRuns += real ? 1 : 0;

        const HANDLE last = tool.Handle();
        const DWORD lastPid = tool.Pid();
        HWND dialog = tool.Start(ddraw.ExePath(), ddraw.Environment()) ? tool.WaitForDialog() : nullptr;
        if (last != nullptr) EXPECT_NE(GetProcessId(last), lastPid) << "the last run's handle is still open";
        const std::vector<std::string> lines = dialog != nullptr ? ListLines(dialog) : std::vector<std::string>();
        if (dialog == nullptr || lines.size() != 4u) {
            ADD_FAILURE() << "run " << run << ": the dialog did not come up with its four lines";
            ++faults;
            continue;
        }
        for (int id : clicks) model.Click(id);
        if (real) {
            EXPECT_TRUE(ActIn(dialog, RealInput(dialog, clicks, line, ending))) << "xdotool failed";
        } else {
            for (int id : clicks) Click(dialog, id);
            if (line >= 0) SelectLine(dialog, line);
            switch (ending) {
            case Ending::Save: Click(dialog, kSave); break;
            case Ending::Cancel: Click(dialog, kCancel); break;
            case Ending::Enter: EXPECT_TRUE(PressKeys(dialog, "Return")); break;
            case Ending::Escape: EXPECT_TRUE(PressKeys(dialog, "Escape")); break;
            case Ending::CloseBox: PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
            }
        }
        DWORD exitCode = 1;
        const bool ended = tool.WaitForExit(15000, &exitCode);
        const std::string reports = NewFaultReports();
        if (!ended || exitCode != 0 || !reports.empty()) {
            ADD_FAILURE() << "run " << run << (real ? " (real input)" : "") << ": "
                          << (!ended ? "the tool did not end" : "ended with status " + std::to_string(exitCode))
                          << "\n" << reports;
            ++faults;
            continue;
        }

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
        EXPECT_TRUE(matches) << "run " << run << (real ? " (real input)" : "");
        mismatches += matches ? 0 : 1;
    }
    const int left = ToolProcessesLeft();
    std::printf("soak: seed %u, %u of %u runs (%d with real input), %d mismatches, %d faults, %d tool processes left\n",
                seed, done, runs, realRuns, mismatches, faults, left);
    EXPECT_EQ(left, 0);
}
