#include "tests/kit/win32/TestProgram.h"

#include <windows.h>

#include "tests/kit/Buffer.h"

namespace kit::win32 {

namespace {

// The program that runs now, and its job, for the console's control handler,
// which Windows calls on a thread of its own: the one state the runner
// shares between threads.
volatile LONG stopped = 0;
HANDLE volatile runningJob = nullptr;
HANDLE volatile runningProcess = nullptr;

constexpr DWORD kStoppedCode = 0xC000013A;  // STATUS_CONTROL_C_EXIT

// The job calls, which NT 4.0 lacks, looked up.
struct JobCalls {
    using CreateJobObjectCall = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPCSTR);
    using SetInformationJobObjectCall = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
    using AssignProcessToJobObjectCall = BOOL(WINAPI*)(HANDLE, HANDLE);
    using TerminateJobObjectCall = BOOL(WINAPI*)(HANDLE, UINT);

    JobCalls() {
        const HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
        create = reinterpret_cast<CreateJobObjectCall>(
            reinterpret_cast<void*>(GetProcAddress(kernel32, "CreateJobObjectA")));
        setInformation = reinterpret_cast<SetInformationJobObjectCall>(
            reinterpret_cast<void*>(GetProcAddress(kernel32, "SetInformationJobObject")));
        assign = reinterpret_cast<AssignProcessToJobObjectCall>(
            reinterpret_cast<void*>(GetProcAddress(kernel32, "AssignProcessToJobObject")));
        terminate = reinterpret_cast<TerminateJobObjectCall>(
            reinterpret_cast<void*>(GetProcAddress(kernel32, "TerminateJobObject")));
    }
    bool Present() const { return create && setInformation && assign && terminate; }

    CreateJobObjectCall create;
    SetInformationJobObjectCall setInformation;
    AssignProcessToJobObjectCall assign;
    TerminateJobObjectCall terminate;
};

// A job whose processes all end when its last handle closes, also when the
// runner is killed; nullptr where Windows has none, or refuses one (Windows
// before 8 puts no job inside another).
HANDLE MakeJob(const JobCalls& calls) {
    if (!calls.Present()) {
        return nullptr;
    }
    const HANDLE job = calls.create(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job != nullptr &&
        !calls.setInformation(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

void StopRunning(const JobCalls& calls) {
    if (runningJob != nullptr) {
        calls.terminate(runningJob, kStoppedCode);
    }
    if (runningProcess != nullptr) {
        TerminateProcess(runningProcess, kStoppedCode);
    }
}

}  // namespace

ProgramRun RunTestProgram(const char* commandLine, const char* folder, const char* outputPath,
                          std::uint32_t timeoutMilliseconds) {
    ProgramRun run;
    if (TestProgramsStopped()) {
        run.stopped = true;
        return run;
    }
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    const HANDLE output = CreateFileA(outputPath, GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) {
        return run;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
    // CreateProcessA may write into the command line.
    Buffer line;
    line.Append(commandLine);
    if (line.Failed()) {
        return run;
    }
    const JobCalls calls;
    const HANDLE job = MakeJob(calls);
    PROCESS_INFORMATION process = {};
    run.started = CreateProcessA(nullptr, const_cast<char*>(line.CStr()), nullptr, nullptr, TRUE,
                                 CREATE_SUSPENDED, nullptr, folder, &startup, &process) != FALSE;
    CloseHandle(output);
    if (run.started) {
        const bool inJob = job != nullptr && calls.assign(job, process.hProcess);
        runningJob = inJob ? job : nullptr;
        runningProcess = process.hProcess;
        ResumeThread(process.hThread);
        if (TestProgramsStopped()) {
            StopRunning(calls);
        }
        run.timedOut = WaitForSingleObject(process.hProcess, timeoutMilliseconds) == WAIT_TIMEOUT;
        // What the program left running (a Velmora.exe of a failed test) ends with it.
        StopRunning(calls);
        WaitForSingleObject(process.hProcess, 5000);
        runningJob = nullptr;
        runningProcess = nullptr;
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        run.exitCode = code;
        run.stopped = TestProgramsStopped();
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    if (job != nullptr) {
        CloseHandle(job);
    }
    return run;
}

void StopTestPrograms() {
    InterlockedExchange(const_cast<LONG*>(&stopped), 1);
    StopRunning(JobCalls());
}

bool TestProgramsStopped() {
    return stopped != 0;
}

}  // namespace kit::win32
