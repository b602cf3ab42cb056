// usage: velmora_bench.exe [RUNS]
//
// Measures what Velmora.exe costs against the minimal window beside it:
// launched alternately, RUNS times each (5 by default), under the same Wine
// prefix and display. Velmora runs the whole patch (the Windows 9x place is
// emptied before each run) and is closed at " Update Complete"; the minimal
// window is left open for as long as that Velmora run took, then closed.
// Prints a table of medians. Timings are wall-clock and vary with the machine.
//
// Wine answers GetProcessTimes for another process with the caller's own
// times, so CPU time and peak memory come from the Linux side instead: each
// Windows process is a Linux process whose command line names its exe, and
// /proc is reachable on drive Z:. They are read just before the program is
// closed: user + system time, and the peak resident set (VmHWM).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/RegistryPlaces.h"
#include "tests/e2e/VelmoraProcess.h"

namespace {

using namespace e2e;

struct Sample {
    double startToWindowMs = 0;
    double cpuMs = 0;
    double peakWorkingSetKiB = 0;
    double firstTickErrorMs = 0;
    Milliseconds wall{0};
};

double Ms(Clock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

// Linux counts CPU time in clock ticks of 1/100 s (USER_HZ).
constexpr double kMsPerClockTick = 10.0;

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

struct LinuxUsage {
    double cpuMs;
    double peakResidentKiB;
};

// The Linux process that runs `exe`, found by its command line.
std::optional<LinuxUsage> UsageOf(const std::string& exe) {
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::optional<LinuxUsage> usage;
    do {
        const std::string pid = entry.cFileName;
        if (pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const std::string folder = "Z:\\proc\\" + pid + "\\";
        const std::string commandLine = ReadAll(folder + "cmdline");
        const std::string program = commandLine.substr(0, commandLine.find('\0'));
        if (program.size() < exe.size() ||
            _stricmp(program.c_str() + program.size() - exe.size(), exe.c_str()) != 0) {
            continue;
        }
        // Fields after the command name in parentheses: utime and stime are
        // the 12th and 13th.
        const std::string statLine = ReadAll(folder + "stat");
        std::istringstream stat(statLine.substr(statLine.rfind(')') + 2));
        std::string field;
        double ticks = 0;
        for (int index = 1; index <= 13 && stat >> field; ++index) {
            if (index >= 12) {
                ticks += std::stod(field);
            }
        }
        const std::string status = ReadAll(folder + "status");
        const std::size_t peak = status.find("VmHWM:");
        usage = LinuxUsage{ticks * kMsPerClockTick,
                           peak == std::string::npos ? -1 : std::stod(status.substr(peak + 6))};
    } while (!usage && FindNextFileA(find, &entry));
    FindClose(find);
    return usage;
}

void Measure(Sample& sample, const std::string& exe) {
    const auto usage = UsageOf(exe);
    sample.cpuMs = usage ? usage->cpuMs : -1;
    sample.peakWorkingSetKiB = usage ? usage->peakResidentKiB : -1;
}

Sample RunVelmora() {
    Seed(kWindows9xPlace, "FirstInstallDateTime", std::nullopt);
    Seed(kWindows9xPlace, "RegisteredOwner", std::nullopt);
    VelmoraProcess velmora;
    Sample sample;
    if (velmora.WaitForWindow() == nullptr) {
        std::fprintf(stderr, "Velmora's window did not appear\n");
        std::exit(1);
    }
    const auto visible = Clock::now();
    sample.startToWindowMs = Ms(visible - velmora.Started());
    WaitUntil([&] { return velmora.StatusText() == " Gathering Patch Information"; });
    sample.firstTickErrorMs = Ms(Clock::now() - visible) - 1300;
    WaitUntil([&] { return velmora.StatusText() == " Update Complete"; });
    Measure(sample, "Velmora.exe");
    VelmoraProcess::Click(velmora.CloseButton());
    velmora.WaitForExit();
    sample.wall = std::chrono::duration_cast<Milliseconds>(Clock::now() - velmora.Started());
    return sample;
}

Sample RunMinimal(Milliseconds openFor) {
    VelmoraProcess minimal("minimal_window.exe", "Minimal Window");
    Sample sample;
    if (minimal.WaitForWindow() == nullptr) {
        std::fprintf(stderr, "the minimal window did not appear\n");
        std::exit(1);
    }
    sample.startToWindowMs = Ms(Clock::now() - minimal.Started());
    // Read its text as often as Velmora's status is read, so that both windows
    // answer the same messages from the driver.
    const HWND text = FindWindowExA(minimal.Window(), nullptr, "Static", nullptr);
    WaitUntil(
        [&] {
            WindowText(text);
            return Clock::now() >= minimal.Started() + openFor;
        },
        openFor + Milliseconds(1000));
    Measure(sample, "minimal_window.exe");
    PostMessageA(minimal.Window(), WM_CLOSE, 0, 0);
    minimal.WaitForExit();
    return sample;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

template <typename Field>
double MedianOf(const std::vector<Sample>& samples, Field field) {
    std::vector<double> values;
    for (const Sample& sample : samples) {
        values.push_back(sample.*field);
    }
    return Median(values);
}

void Row(const char* what, double velmora, double minimal) {
    std::printf("| %-42s | %10.1f | %10.1f | %6.2f |\n", what, velmora, minimal,
                minimal > 0 ? velmora / minimal : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<Sample> velmora;
    std::vector<Sample> minimal;
    for (int run = 1; run <= runs; ++run) {
        velmora.push_back(RunVelmora());
        minimal.push_back(RunMinimal(velmora.back().wall));
        std::fprintf(stderr,
                     "run %d of %d: Velmora %.0f ms CPU, %.0f KiB over %lld ms; "
                     "minimal %.0f ms CPU, %.0f KiB\n",
                     run, runs, velmora.back().cpuMs, velmora.back().peakWorkingSetKiB,
                     static_cast<long long>(velmora.back().wall.count()), minimal.back().cpuMs,
                     minimal.back().peakWorkingSetKiB);
    }

    std::printf("Medians of %d runs each:\n\n", runs);
    std::printf("| %-42s | %10s | %10s | %6s |\n", "Measure", "Velmora", "Minimal", "Ratio");
    std::printf("|%s|%s|%s|%s|\n", std::string(44, '-').c_str(), std::string(12, '-').c_str(),
                std::string(12, '-').c_str(), std::string(8, '-').c_str());
    Row("Process start to window visible (ms)", MedianOf(velmora, &Sample::startToWindowMs),
        MedianOf(minimal, &Sample::startToWindowMs));
    Row("CPU time, user + system, whole run (ms)", MedianOf(velmora, &Sample::cpuMs),
        MedianOf(minimal, &Sample::cpuMs));
    Row("Peak resident set, VmHWM (KiB)", MedianOf(velmora, &Sample::peakWorkingSetKiB),
        MedianOf(minimal, &Sample::peakWorkingSetKiB));
    std::printf("| %-42s | %10.1f | %10s | %6s |\n", "First tick after 1300 ms, error (ms)",
                MedianOf(velmora, &Sample::firstTickErrorMs), "-", "-");
    return 0;
}
