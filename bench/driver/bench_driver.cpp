// Times the start-up of Varek Setup.exe against the baseline program under Wine: from
// process creation to a dialog that is shown and holds its device lines, and the peak
// working set of each run. Prints the table that scripts/benchmark.sh keeps.
//   bench_driver --runs N --tool EXE --baseline EXE --ddraw DLL --exe-size BYTES --imports "a.dll b.dll"
//                --allowed "a.dll b.dll"
//   bench_driver --once PROGRAM --tool EXE --baseline EXE --ddraw DLL
// The second form starts one program once (baseline, tool, scripted-1 or scripted-1000),
// prints "ready: ..." with its PID and time once its dialog is ready and settled, and closes it.
// Paths are Unix paths; the stand-in ddraw.dll and its device scripts go into folders
// of the Wine session (VAREK_WINE_SESSION).
#include <windows.h>
#include <psapi.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "scripted_devices.h"
#include "tool_process.h"

namespace {

const DWORD kReadyTimeoutMs = 30000;
const DWORD kExitTimeoutMs = 15000;
const int kManyDevices = 1000;

const double kTimeGoal = 1.10;
const double kMemoryGoal = 1.20;
const double kManyDevicesGoal = 1.5;
const long kSizeGoal = 24576;  // 24 KiB, the manifest included

// One program as it is started: which exe, with which DirectDraw, and what its ready dialog looks like.
struct Variant {
    std::string label;
    std::string exe;  // Windows path
    const char* caption;
    int listId;
    LRESULT lines;      // the list holds this many lines once the dialog is ready
    bool standInDdraw;  // loads the stand-in ddraw.dll that sits beside the exe
    std::vector<std::string> environment;  // extra NAME=value entries for the child
    std::vector<double> readyMs;
    std::vector<double> peakKiB;
};

double g_ticksPerMs = 1.0;
// The time from one poll of a timed run to the next: the resolution of the measurement.
std::vector<double> g_pollSteps;

LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double Ms(LONGLONG ticks) { return static_cast<double>(ticks) / g_ticksPerMs; }

// Waits out the rest of a polling step asleep: a poller that spins takes one of the
// machine's two cores from the program it times. Sleep(1) lasts 1.1 ms or more under
// Wine, so the wait goes to NtDelayExecution, which counts in 100 ns units.
void PauseUntil(LONGLONG deadline) {
    using DelayFn = LONG(WINAPI*)(BOOLEAN, LARGE_INTEGER*);
    static const DelayFn delay = reinterpret_cast<DelayFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDelayExecution")));
    const LONGLONG left = deadline - Now();
    if (left <= 0) return;
    if (delay == nullptr) {
        SwitchToThread();
        return;
    }
    LARGE_INTEGER interval;
    interval.QuadPart = -static_cast<LONGLONG>(Ms(left) * 10000.0);  // negative: relative to now
    delay(FALSE, &interval);
}

// Device scripts for the stand-in: the default display driver first, then cards with GUIDs.
std::vector<ScriptedDevice> Devices(int count) {
    std::vector<ScriptedDevice> devices;
    char text[64];
    for (int i = 0; i < count; ++i) {
        if (i == 0) {
            devices.push_back({{}, "display", "Primary Display Driver"});
            continue;
        }
        const unsigned first = 0x56a3d000u + static_cast<unsigned>(i);
        const std::vector<uint8_t> guid = {
            static_cast<uint8_t>(first >> 24), static_cast<uint8_t>(first >> 16), static_cast<uint8_t>(first >> 8),
            static_cast<uint8_t>(first), static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8),
            0x11, 0xd2, 0x8e, 0x24, 0x00, 0xa0, 0xc9, 0x3d, 0x5e, 0x7f};
        std::snprintf(text, sizeof text, "vk3d%04d", i);
        const std::string name = text;
        std::snprintf(text, sizeof text, "Scripted 3D Accelerator %04d", i);
        devices.push_back({guid, name, text});
    }
    return devices;
}

// The dialog is ready when it is shown and answers with the full count of lines: its
// start-up has run and its thread serves messages.
bool IsReady(HWND dialog, const Variant& v) {
    if (!IsWindowVisible(dialog)) return false;
    DWORD_PTR count = 0;
    return SendMessageTimeoutA(GetDlgItem(dialog, v.listId), LB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &count) != 0 &&
           static_cast<LRESULT>(count) == v.lines;
}

// Once the program waits for input (its start-up, painting included, is done), asks its
// list for its count once more: the window server's trace then shows where the start-up
// ended, wherever the first question happened to fall in the painting.
void AskOnceSettled(DWORD pid, const Variant& v) {
    const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (process == nullptr) return;
    WaitForInputIdle(process, kReadyTimeoutMs);
    CloseHandle(process);
    DWORD_PTR count = 0;
    const HWND dialog = FindProcessWindow(pid, "#32770", v.caption);
    SendMessageTimeoutA(GetDlgItem(dialog, v.listId), LB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &count);
}

// One start of the program: returns an empty string on success, else what went wrong.
// whenReady(pid, ms) runs once the dialog is ready, before the program is closed.
template <typename WhenReady>
std::string RunOnce(const Variant& v, double* readyMs, double* peakKiB, WhenReady whenReady) {
    UseStandInDdraw(v.standInDdraw);
    std::string environment = EnvironmentBlock(v.environment);
    PROCESS_INFORMATION info;

    const LONGLONG start = Now();
    if (!Launch(v.exe, environment, &info)) return "cannot start " + v.exe;
    CloseHandle(info.hThread);

    const LONGLONG step = static_cast<LONGLONG>(g_ticksPerMs);
    HWND dialog = nullptr;
    std::string failure;
    LONGLONG next = start;
    LONGLONG previousCheck = 0;
    for (;;) {
        const LONGLONG check = Now();
        if (previousCheck != 0) g_pollSteps.push_back(Ms(check - previousCheck));
        previousCheck = check;
        if (dialog == nullptr) dialog = FindProcessWindow(info.dwProcessId, "#32770", v.caption);
        if (dialog != nullptr && IsReady(dialog, v)) {
            *readyMs = Ms(Now() - start);
            break;
        }
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0) {
            failure = "ended before its dialog was ready";
            break;
        }
        if (Ms(Now() - start) > kReadyTimeoutMs) {
            failure = "dialog not ready in time";
            break;
        }
        next += step;
        const LONGLONG now = Now();
        if (next < now) next = now;
        PauseUntil(next);
    }

    if (failure.empty()) {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(info.hProcess, &counters, sizeof counters)) {
            *peakKiB = static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;
        } else {
            failure = "no memory counters";
        }
        whenReady(info.dwProcessId, *readyMs);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    if (WaitForSingleObject(info.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0) {
        if (failure.empty()) failure = "did not end after Cancel";
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, kExitTimeoutMs);
    } else {
        DWORD exitCode = 1;
        GetExitCodeProcess(info.hProcess, &exitCode);
        if (failure.empty() && exitCode != 0) failure = "ended with status " + std::to_string(exitCode);
    }
    CloseHandle(info.hProcess);
    return failure;
}

struct Spread {
    double median, q1, q3, min, max;
};

// Quartiles by linear interpolation between the sorted samples.
Spread SpreadOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    auto at = [&](double p) {
        const double pos = p * static_cast<double>(samples.size() - 1);
        const size_t low = static_cast<size_t>(pos);
        const size_t high = std::min(low + 1, samples.size() - 1);
        return samples[low] + (samples[high] - samples[low]) * (pos - static_cast<double>(low));
    };
    return {at(0.5), at(0.25), at(0.75), samples.front(), samples.back()};
}

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

struct Options {
    int runs = 15;
    std::string once;  // the one program of a single start, or empty for the benchmark
    std::string tool, baseline, ddraw, imports, allowed;
    long exeSize = 0;
};

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--once") {
            o->once = value;
        } else if (name == "--allowed") {
            o->allowed = value;
        } else if (name == "--runs") {
            o->runs = std::atoi(value);
        } else if (name == "--tool") {
            o->tool = WindowsPath(value);
        } else if (name == "--baseline") {
            o->baseline = WindowsPath(value);
        } else if (name == "--ddraw") {
            o->ddraw = WindowsPath(value);
        } else if (name == "--exe-size") {
            o->exeSize = std::atol(value);
        } else if (name == "--imports") {
            o->imports = value;
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && o->runs > 0 && !o->tool.empty() && !o->baseline.empty() && !o->ddraw.empty();
}

void PrintRow(const Variant& v) {
    const Spread t = SpreadOf(v.readyMs);
    const Spread m = SpreadOf(v.peakKiB);
    std::printf("%-36s %4zu | %7.1f  %6.1f - %-6.1f  %5.0f - %-5.0f | %7.0f  %5.0f - %.0f\n", v.label.c_str(),
                v.readyMs.size(), t.median, t.q1, t.q3, t.min, t.max, m.median, m.min, m.max);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: bench_driver --runs N --tool EXE --baseline EXE --ddraw DLL "
                     "[--exe-size BYTES --imports \"a.dll b.dll\" --allowed \"a.dll b.dll\"]\n"
                     "       bench_driver --once baseline|tool|scripted-1|scripted-1000 "
                     "--tool EXE --baseline EXE --ddraw DLL\n");
        return 2;
    }
    // The table goes to a Unix pipe: lines end in LF only.
    _setmode(_fileno(stdout), _O_BINARY);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;

    // Copies of the tool with the stand-in ddraw.dll beside each, one per device count.
    const ScriptedDirectDraw one(Devices(1), -1, options.tool, options.ddraw);
    const ScriptedDirectDraw many(Devices(kManyDevices), -1, options.tool, options.ddraw);
    if (!one.Ready() || !many.Ready()) {
        std::fprintf(stderr, "bench_driver: cannot prepare the stand-in's folders in the Wine session\n");
        return 1;
    }

    std::vector<Variant> variants = {
        {"baseline, Wine's ddraw", options.baseline, "Baseline", 1000, 1, false, {}, {}, {}},
        {"Varek Setup, Wine's ddraw", options.tool, "Varek Setup", 1026, 1, false, {}, {}, {}},
        {"Varek Setup, 1 scripted device", one.ExePath(), "Varek Setup", 1026, 1, true, one.Environment(), {}, {}},
        {"Varek Setup, 1,000 scripted devices", many.ExePath(), "Varek Setup", 1026, kManyDevices, true,
         many.Environment(), {}, {}},
    };
    if (!options.once.empty()) {
        const char* const names[] = {"baseline", "tool", "scripted-1", "scripted-1000"};
        for (size_t i = 0; i < variants.size(); ++i) {
            if (options.once != names[i]) continue;
            double ms = 0, kib = 0;
            const std::string failure = RunOnce(variants[i], &ms, &kib, [&](DWORD pid, double readyMs) {
                AskOnceSettled(pid, variants[i]);
                std::printf("ready: %s, PID %lu, after %.1f ms\n", variants[i].label.c_str(),
                            static_cast<unsigned long>(pid), readyMs);
                std::fflush(stdout);
            });
            if (failure.empty()) return 0;
            std::fprintf(stderr, "bench_driver: %s: %s\n", variants[i].label.c_str(), failure.c_str());
            return 1;
        }
        std::fprintf(stderr, "bench_driver: no program %s\n", options.once.c_str());
        return 2;
    }
    const Variant& baseline = variants[0];
    const Variant& tool = variants[1];
    const Variant& scriptedOne = variants[2];
    const Variant& scriptedMany = variants[3];

    // One untimed start of each first: the runs then all find the files in the page cache.
    int failures = 0;
    for (Variant& v : variants) {
        double ms = 0, kib = 0;
        const std::string failure = RunOnce(v, &ms, &kib, [](DWORD, double) {});
        if (!failure.empty()) {
            std::fprintf(stderr, "bench_driver: warm-up of %s: %s\n", v.label.c_str(), failure.c_str());
            ++failures;
        }
    }
    g_pollSteps.clear();

    // The programs take turns; each round starts one further along, so none always follows the same one.
    const size_t count = variants.size();
    for (int round = 0; round < options.runs && failures == 0; ++round) {
        for (size_t k = 0; k < count; ++k) {
            Variant& v = variants[(round + k) % count];
            double ms = 0, kib = 0;
            const std::string failure = RunOnce(v, &ms, &kib, [](DWORD, double) {});
            if (!failure.empty()) {
                std::fprintf(stderr, "bench_driver: %s, round %d: %s\n", v.label.c_str(), round + 1, failure.c_str());
                ++failures;
                continue;
            }
            v.readyMs.push_back(ms);
            v.peakKiB.push_back(kib);
            std::fprintf(stderr, "  %-36s %8.1f ms %8.0f KiB\n", v.label.c_str(), ms, kib);
            std::fflush(stderr);
        }
        // Each child has ended; a short pause lets Wine and X finish tearing it down.
        Sleep(100);
    }
    if (failures != 0) return 1;

    std::sort(g_pollSteps.begin(), g_pollSteps.end());
    if (g_pollSteps.empty()) g_pollSteps.push_back(0.0);
    const double stepMedian = SpreadOf(g_pollSteps).median;
    const double step95 = g_pollSteps[g_pollSteps.size() * 95 / 100];
    std::printf("%d runs of each, taking turns, after one untimed run of each.\n", options.runs);
    std::printf("Ready: the dialog is shown and its list answers LB_GETCOUNT with all its lines; polled every 1 ms.\n");
    std::printf("Polling step: median %.2f ms, 95th percentile %.2f ms.\n\n", stepMedian, step95);
    std::printf("%-36s %4s | %-39s | %s\n", "", "", "time to ready (ms)", "peak working set (KiB)");
    std::printf("%-36s %4s | %7s  %-15s  %-13s | %7s  %s\n", "program", "runs", "median", "quartiles", "min - max",
                "median", "min - max");
    for (const Variant& v : variants) PrintRow(v);

    const double timeRatio = SpreadOf(tool.readyMs).median / SpreadOf(baseline.readyMs).median;
    const double memoryRatio = SpreadOf(tool.peakKiB).median / SpreadOf(baseline.peakKiB).median;
    const double manyRatio = SpreadOf(scriptedMany.readyMs).median / SpreadOf(scriptedOne.readyMs).median;
    const double manyToWineRatio = SpreadOf(scriptedMany.readyMs).median / SpreadOf(tool.readyMs).median;

    const std::string& imports = options.imports;
    const std::string allowed = " " + options.allowed + " ";
    std::vector<std::string> foreign;
    for (size_t at = 0; at < imports.size();) {
        const size_t end = std::min(imports.find(' ', at), imports.size());
        const std::string dll = imports.substr(at, end - at);
        if (!dll.empty() && allowed.find(" " + dll + " ") == std::string::npos) foreign.push_back(dll);
        at = end + 1;
    }

    std::printf("\n%-48s %10s  %-10s  %s\n", "measure (medians)", "measured", "goal", "verdict");
    std::printf("%-48s %9.3fx  <= %.2fx    %s\n", "time to ready, tool / baseline", timeRatio, kTimeGoal,
                Verdict(timeRatio <= kTimeGoal));
    std::printf("%-48s %9.3fx  <= %.2fx    %s\n", "peak working set, tool / baseline", memoryRatio, kMemoryGoal,
                Verdict(memoryRatio <= kMemoryGoal));
    std::printf("%-48s %9.3fx  <= %.2fx    %s\n", "time to ready, 1,000 / 1 scripted device", manyRatio,
                kManyDevicesGoal, Verdict(manyRatio <= kManyDevicesGoal));
    std::printf("%-48s %9.3fx  %-10s  %s\n", "time to ready, 1,000 scripted / Wine's 1 device", manyToWineRatio,
                "-", "for reference: Wine's ddraw also starts its 3D layer");
    std::printf("%-48s %8ld B  <= %ld B %s\n", "exe size, stripped", options.exeSize, kSizeGoal,
                Verdict(options.exeSize > 0 && options.exeSize <= kSizeGoal));
    std::printf("%-48s %10zu  %-10s  %s\n", "exe imports other than the allowed system DLLs",
                foreign.size(), "0", Verdict(!imports.empty() && !options.allowed.empty() && foreign.empty()));
    std::printf("exe imports: %s (allowed: %s)\n", imports.c_str(), options.allowed.c_str());
    for (const std::string& dll : foreign) std::printf("  not a system DLL: %s\n", dll.c_str());
    return 0;
}
