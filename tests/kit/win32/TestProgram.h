#pragma once

// Runs one of the kit's test programs in a process of its own: with a time
// limit, its output into a file, the system's crash dialogs off, and every
// process it starts in a job (Windows 2000 and later) that ends with it, or
// with the runner. On NT 4.0, which has no jobs, only the program itself is
// tracked.

#include <cstdint>

namespace kit::win32 {

struct ProgramRun {
    bool started = false;
    bool timedOut = false;
    bool stopped = false;  // by Ctrl+C or Ctrl+Break
    std::uint32_t exitCode = 0;
};

// `commandLine` runs in `folder`; what it writes goes to `outputPath`.
ProgramRun RunTestProgram(const char* commandLine, const char* folder, const char* outputPath,
                          std::uint32_t timeoutMilliseconds);

// From the console's Ctrl+C, Ctrl+Break or close: stops the program that
// runs, and every later RunTestProgram answers at once as stopped.
void StopTestPrograms();
bool TestProgramsStopped();

}  // namespace kit::win32
