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
// Windows process is a Linux process whose command line holds the Windows
// one, and /proc is reachable on drive Z:. Each program is started with a
// word of this run's own on its command line, which both ignore, so that no
// other process on the machine, of another Wine session say, is measured.
// They are read just before the program is closed: user + system time, and
// the peak resident set (VmHWM). A figure that cannot be read is printed as
// not measured.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/RegistrySnapshot.h"
#include "tests/e2e/VelmoraProcess.h"

namespace {

using namespace e2e;

struct Sample {
    std::optional<double> startToWindowMs;
    std::optional<double> cpuMs;
    std::optional<double> peakWorkingSetKiB;
    std::optional<double> firstTickErrorMs;
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
    std::optional<double> peakResidentKiB;
};

// A word for the command line of one program's run, which no other process
// has: runs start seconds apart.
std::string RunMarker() {
    return "velmora-bench-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount());
}

// Whether `word` is one of the command line's NUL-separated words.
bool CommandLineHolds(const std::string& commandLine, const std::string& word) {
    return ('\0' + commandLine + '\0').find('\0' + word + '\0') != std::string::npos;
}

// The Linux process whose command line holds `marker`, while it runs.
std::optional<LinuxUsage> UsageOf(const std::string& marker) {
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
        if (!CommandLineHolds(ReadAll(folder + "cmdline"), marker)) {
            continue;
        }
        // Fields after the command name in parentheses: utime and stime are
        // the 12th and 13th. A process that has just ended leaves no fields.
        const std::string statLine = ReadAll(folder + "stat");
        const std::size_t name = statLine.rfind(')');
        std::istringstream stat(name == std::string::npos ? "" : statLine.substr(name + 1));
        const std::vector<std::string> fields{std::istream_iterator<std::string>(stat), {}};
        if (fields.size() < 13) {
            break;
        }
        const double ticks =
            std::strtod(fields[11].c_str(), nullptr) + std::strtod(fields[12].c_str(), nullptr);
        usage = LinuxUsage{ticks * kMsPerClockTick, std::nullopt};
        const std::string status = ReadAll(folder + "status");
        const std::size_t peak = status.find("VmHWM:");
        if (peak != std::string::npos) {
            usage->peakResidentKiB = std::strtod(status.c_str() + peak + 6, nullptr);
        }
    } while (!usage && FindNextFileA(find, &entry));
    FindClose(find);
    return usage;
}

void Measure(Sample& sample, const std::string& marker) {
    if (const auto usage = UsageOf(marker)) {
        sample.cpuMs = usage->cpuMs;
        sample.peakWorkingSetKiB = usage->peakResidentKiB;
    }
}

// A run that never reached what it waited for gives no figure: the benchmark
// fails instead.
void Require(bool reached, const char* what) {
    if (!reached) {
        std::fprintf(stderr, "benchmark failed: %s\n", what);
        std::exit(1);
    }
}

Sample RunVelmora() {
    Seed(kWindows9xPlace, "FirstInstallDateTime", std::nullopt);
    Seed(kWindows9xPlace, "RegisteredOwner", std::nullopt);
    const std::string marker = RunMarker();
    VelmoraProcess velmora("Velmora.exe", kVelmoraCaption, marker);
    Sample sample;
    Require(velmora.WaitForWindow() != nullptr, "Velmora's window did not appear");
    const auto visible = Clock::now();
    sample.startToWindowMs = Ms(visible - velmora.Started());
    Require(WaitUntil([&] { return velmora.StatusText() == " Gathering Patch Information"; }),
            "Velmora never showed \" Gathering Patch Information\"");
    sample.firstTickErrorMs = Ms(Clock::now() - visible) - 1300;
    Require(WaitUntil([&] { return velmora.StatusText() == " Update Complete"; }),
            "Velmora never showed \" Update Complete\"");
    Measure(sample, marker);
    VelmoraProcess::Click(velmora.CloseButton());
    Require(velmora.WaitForExit().has_value(), "Velmora did not end when Close was pressed");
    sample.wall = std::chrono::duration_cast<Milliseconds>(Clock::now() - velmora.Started());
    return sample;
}

Sample RunMinimal(Milliseconds openFor) {
    const std::string marker = RunMarker();
    VelmoraProcess minimal("minimal_window.exe", "Minimal Window", marker);
    Sample sample;
    Require(minimal.WaitForWindow() != nullptr, "the minimal window did not appear");
    sample.startToWindowMs = Ms(Clock::now() - minimal.Started());
    // Read its text as often as Velmora's status is read, so that both windows
    // answer the same messages from the driver.
    const HWND text = FindWindowExA(minimal.Window(), nullptr, "Static", nullptr);
    Require(WaitUntil(
                [&] {
                    WindowText(text);
                    return Clock::now() >= minimal.Started() + openFor;
                },
                openFor + Milliseconds(1000)),
            "the minimal window stopped answering");
    Measure(sample, marker);
    PostMessageA(minimal.Window(), WM_CLOSE, 0, 0);
    Require(minimal.WaitForExit().has_value(), "the minimal window did not end when closed");
    return sample;
}

// The median, or nothing when a run could not measure the figure.
template <typename Field>
std::optional<double> MedianOf(const std::vector<Sample>& samples, Field field) {
    std::vector<double> values;
    for (const Sample& sample : samples) {
        if (!(sample.*field)) {
            return std::nullopt;
        }
        values.push_back(*(sample.*field));
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string Figure(std::optional<double> value, const char* format = "%.1f") {
    if (!value) {
        return "not measured";
    }
    char text[32];
    std::snprintf(text, sizeof text, format, *value);
    return text;
}

void Row(const char* what, std::optional<double> velmora, std::optional<double> minimal) {
    std::optional<double> ratio;
    if (velmora && minimal && *minimal > 0) {
        ratio = *velmora / *minimal;
    }
    std::printf("| %-42s | %12s | %12s | %6s |\n", what, Figure(velmora).c_str(),
                Figure(minimal).c_str(), ratio ? Figure(ratio, "%.2f").c_str() : "-");
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
                     "run %d of %d: Velmora visible after %s ms, %s ms CPU, %s KiB over %lld ms; "
                     "minimal visible after %s ms, %s ms CPU, %s KiB\n",
                     run, runs, Figure(velmora.back().startToWindowMs, "%.0f").c_str(),
                     Figure(velmora.back().cpuMs, "%.0f").c_str(),
                     Figure(velmora.back().peakWorkingSetKiB, "%.0f").c_str(),
                     static_cast<long long>(velmora.back().wall.count()),
                     Figure(minimal.back().startToWindowMs, "%.0f").c_str(),
                     Figure(minimal.back().cpuMs, "%.0f").c_str(),
                     Figure(minimal.back().peakWorkingSetKiB, "%.0f").c_str());
    }

    std::printf("Medians of %d runs each:\n\n", runs);
    std::printf("| %-42s | %12s | %12s | %6s |\n", "Measure", "Velmora", "Minimal", "Ratio");
    std::printf("|%s|%s|%s|%s|\n", std::string(44, '-').c_str(), std::string(14, '-').c_str(),
                std::string(14, '-').c_str(), std::string(8, '-').c_str());
    Row("Process start to window visible (ms)", MedianOf(velmora, &Sample::startToWindowMs),
        MedianOf(minimal, &Sample::startToWindowMs));
    Row("CPU time, user + system, whole run (ms)", MedianOf(velmora, &Sample::cpuMs),
        MedianOf(minimal, &Sample::cpuMs));
    Row("Peak resident set, VmHWM (KiB)", MedianOf(velmora, &Sample::peakWorkingSetKiB),
        MedianOf(minimal, &Sample::peakWorkingSetKiB));
    std::printf("| %-42s | %12s | %12s | %6s |\n", "First tick after 1300 ms, error (ms)",
                Figure(MedianOf(velmora, &Sample::firstTickErrorMs)).c_str(), "-", "-");
    return 0;
}
