// The kit's runner, run-tests.cmd's one command. It starts on every Windows
// from NT 4.0 on any x86 CPU from the i486 on, as Velmora.exe does: no C
// runtime, its own entry point, and imports that NT 4.0 has. In order:
//   1. where a journal of an interrupted run lies in the kit's folder, puts
//      back what it records, says so, and stops (exit code 3);
//   2. checks for an administrator (elevated) at a visible desktop, and a
//      CPU that runs the test programs, and stops where one is missing (2);
//   3. journals every registry value that the tests may touch, flushed to
//      the kit's folder before any test starts;
//   4. runs each test program in a process of its own (TestProgram.h);
//   5. puts every journalled value back, reads each again, and removes the
//      journal; Ctrl+C or Ctrl+Break stops the tests and comes here too (2);
//   6. writes report.txt and report.xml, and shows the first: 0 when all
//      passed, 1 when one failed.

#include <windows.h>

#include "platform/DpiAwareness.h"
#include "tests/kit/Journal.h"
#include "tests/kit/Sha256.h"
#include "tests/kit/TestResults.h"
#include "tests/kit/win32/Files.h"
#include "tests/kit/win32/Machine.h"
#include "tests/kit/win32/RegistryJournal.h"
#include "tests/kit/win32/TestProgram.h"

namespace {

using kit::Buffer;
namespace win32 = kit::win32;

enum ExitCode : UINT {
    kAllPassed = 0,
    kSomeFailed = 1,
    kCouldNotRun = 2,
    kInterruptedRunPutBack = 3,
};

constexpr const char* kPrograms[] = {"win32_unit_tests.exe", "e2e_tests.exe"};
constexpr DWORD kProgramTimeLimit = 900 * 1000;
constexpr DWORD kIllegalInstruction = 0xC000001D;

// Set once everything is back, for a console close that waits for it.
HANDLE volatile putBack = nullptr;

void Say(std::string_view text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

// Ctrl+C and Ctrl+Break stop the tests; the runner then puts everything
// back. Closing the console waits for that, a few seconds at most.
BOOL WINAPI OnConsoleControl(DWORD event) {
    win32::StopTestPrograms();
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && putBack != nullptr) {
        WaitForSingleObject(putBack, 4500);
    }
    return TRUE;
}

Buffer InFolder(const Buffer& folder, std::string_view name) {
    Buffer path;
    path.Append(folder.View()).Append(name);
    return path;
}

// The value after `label` on a line of KIT-BUILD.txt.
std::string_view BuildFact(std::string_view build, std::string_view label) {
    const std::size_t at = build.find(label);
    if (at == std::string_view::npos) {
        return "unknown";
    }
    const std::string_view rest = build.substr(at + label.size());
    return rest.substr(0, rest.find('\r'));
}

void AppendSha256(const char* path, Buffer& out) {
    Buffer bytes;
    if (!win32::ReadWholeFile(path, bytes)) {
        out.Append("(cannot be read)");
        return;
    }
    kit::Sha256 sha;
    sha.Update(bytes.View());
    const auto digest = sha.Finish();
    out.AppendHex(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size()));
}

void Header(const Buffer& folder, Buffer& out) {
    Buffer build;
    win32::ReadWholeFile(InFolder(folder, "KIT-BUILD.txt").CStr(), build);
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    out.Append("Velmora test kit, commit ").Append(BuildFact(build.View(), "commit "));
    out.Append(", run ").AppendNumber(now.wYear).Append('-');
    out.Append(now.wMonth < 10 ? "0" : "").AppendNumber(now.wMonth).Append('-');
    out.Append(now.wDay < 10 ? "0" : "").AppendNumber(now.wDay).Append(' ');
    out.Append(now.wHour < 10 ? "0" : "").AppendNumber(now.wHour).Append(':');
    out.Append(now.wMinute < 10 ? "0" : "").AppendNumber(now.wMinute).Append(" local time\r\n");
    win32::DescribeMachine(out);
    Buffer sha;
    AppendSha256(InFolder(folder, "Velmora.exe").CStr(), sha);
    out.Append("Velmora.exe SHA-256 ").Append(sha.View());
    out.Append(sha.View() == BuildFact(build.View(), "Velmora.exe ")
                   ? " (as the kit built it)\r\n\r\n"
                   : " (not the kit's own build: compare it with the release's)\r\n\r\n");
}

// Puts back what a journal records, and says what did not come back.
std::size_t PutBack(const kit::Journal& journal, const char* journalPath, Buffer& unlike) {
    const std::size_t count = win32::Restore(journal, unlike);
    if (count == 0) {
        DeleteFileA(journalPath);
    }
    return count;
}

UINT PutBackAnInterruptedRun(const char* journalPath) {
    Buffer text;
    kit::Journal journal;
    if (!win32::ReadWholeFile(journalPath, text) || !journal.Decode(text.View())) {
        Say("The journal of an interrupted run, journal.txt in the kit's folder, cannot be "
            "read,\r\n"
            "so nothing was put back. Remove it to run the kit again.\r\n");
        return kCouldNotRun;
    }
    Buffer unlike;
    if (PutBack(journal, journalPath, unlike) != 0) {
        Say("An earlier run of the kit was interrupted. Not everything it had changed came "
            "back:\r\n");
        Say(unlike.View());
        Say("journal.txt stays in the kit's folder; run the kit again to try once more.\r\n");
        return kCouldNotRun;
    }
    Say("An earlier run of the kit was interrupted. Everything it had changed in the\r\n"
        "registry is back as it was. Run run-tests.cmd again to test.\r\n");
    return kInterruptedRunPutBack;
}

// Why the kit cannot run here, or nothing.
const char* MissingNeed(const Buffer& folder) {
    if (!win32::RunsAsAdministrator()) {
        return "The kit needs an administrator: on Vista and later, run run-tests.cmd from a\r\n"
               "Command Prompt started with \"Run as administrator\".\r\n";
    }
    if (!win32::HasVisibleDesktop()) {
        return "The kit needs a visible, unlocked desktop: its tests drive Velmora's window\r\n"
               "as a user would. Run it at the screen, not from a service or a scheduled task.\r\n";
    }
    Buffer program = InFolder(folder, "tests\\win32_unit_tests.exe");
    Buffer line;
    line.Append('"').Append(program.View()).Append("\" --gtest_list_tests");
    const win32::ProgramRun run = win32::RunTestProgram(
        line.CStr(), folder.CStr(), InFolder(folder, "cpu-check.log").CStr(), 60 * 1000);
    DeleteFileA(InFolder(folder, "cpu-check.log").CStr());
    if (!run.started) {
        return "The kit's test programs are missing or cannot start: copy the whole kit,\r\n"
               "with its tests folder, to a folder of a local disk and run it there.\r\n";
    }
    if (run.exitCode == kIllegalInstruction) {
        return "This CPU cannot run the kit's test programs, which need a Pentium Pro or\r\n"
               "later (their libraries use its instructions). Velmora.exe itself runs on an\r\n"
               "i486, but this kit cannot test it here.\r\n";
    }
    return nullptr;
}

void RunProgram(const Buffer& folder, const char* name, kit::List<kit::TestResult>& results) {
    Buffer line;
    line.Append("\"").Append(folder.View()).Append("tests\\").Append(name).Append('"');
    Buffer log;
    log.Append(folder.View()).Append("results\\").Append(name).Append(".log");
    Say("Running ");
    Say(name);
    Say("...\r\n");
    const win32::ProgramRun run =
        win32::RunTestProgram(line.CStr(), folder.CStr(), log.CStr(), kProgramTimeLimit);
    Buffer ending;
    if (!run.started) {
        ending.Append("it did not start");
    } else if (run.timedOut) {
        ending.Append("it ran past its time limit of ").AppendNumber(kProgramTimeLimit / 1000);
        ending.Append(" s and was stopped");
    } else if (run.stopped) {
        ending.Append("stopped by Ctrl+C or Ctrl+Break");
    } else {
        ending.Append("the program ended with exit code 0x");
        for (int shift = 28; shift >= 0; shift -= 4) {
            ending.Append("0123456789ABCDEF"[(run.exitCode >> shift) & 15]);
        }
    }
    Buffer output;
    win32::ReadWholeFile(log.CStr(), output);
    const kit::Counts before = kit::Count(results);
    const std::size_t tests = kit::ReadGtestLog(name, output.View(), ending.View(), results);
    const kit::Counts after = kit::Count(results);
    // A program that failed outside its tests, or before any.
    if (run.started && !run.timedOut && !run.stopped && run.exitCode != 0 &&
        after.failed == before.failed) {
        kit::AddProgramFailure(name, ending.View(), results);
    } else if (tests == 0 && (!run.started || run.timedOut)) {
        kit::AddProgramFailure(name, ending.View(), results);
    }
}

UINT RunKit() {
    Buffer folder;
    if (!win32::KitFolder(folder)) {
        Say("The kit cannot find its own folder.\r\n");
        return kCouldNotRun;
    }
    const Buffer journalPath = InFolder(folder, "journal.txt");
    if (win32::FileExists(journalPath.CStr())) {
        return PutBackAnInterruptedRun(journalPath.CStr());
    }
    if (const char* missing = MissingNeed(folder)) {
        Say(missing);
        return kCouldNotRun;
    }
    kit::Journal journal;
    Buffer encoded;
    if (win32::Capture(journal)) {
        journal.Encode(encoded);
    }
    CreateDirectoryA(InFolder(folder, "results").CStr(), nullptr);
    if (encoded.Size() == 0 || encoded.Failed() ||
        !win32::WriteWholeFile(journalPath.CStr(), encoded.View())) {
        Say("The kit cannot write its journal into its own folder. Copy the kit from the CD\r\n"
            "or ZIP to a folder of a local disk that you may write, and run it there.\r\n");
        return kCouldNotRun;
    }
    putBack = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);

    kit::List<kit::TestResult> results;
    for (const char* program : kPrograms) {
        RunProgram(folder, program, results);
    }
    Buffer unlike;
    if (PutBack(journal, journalPath.CStr(), unlike) != 0) {
        kit::AddProgramFailure("the kit", unlike.View(), results);
    }
    SetEvent(putBack);

    Buffer header;
    Header(folder, header);
    Buffer report;
    kit::WriteTextReport(header.View(), results, report);
    Buffer xml;
    kit::WriteJunit(results, xml);
    win32::WriteWholeFile(InFolder(folder, "report.txt").CStr(), report.View());
    win32::WriteWholeFile(InFolder(folder, "report.xml").CStr(), xml.View());
    Say("\r\n");
    Say(report.View());
    if (win32::TestProgramsStopped()) {
        Say("Stopped by Ctrl+C or Ctrl+Break before the tests were done; what they had\r\n"
            "changed in the registry is back as it was.\r\n");
        return kCouldNotRun;
    }
    return kit::Count(results).failed > 0 ? kSomeFailed : kAllPassed;
}

}  // namespace

// The entry point that the build names; it never returns. The DPI awareness
// first, so that the report's DPI is the screen's; the crash dialogs off for
// every test program, which inherit the mode.
extern "C" void KitStartup() {
    platform::win32::BecomeDpiAware();
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    ExitProcess(RunKit());
}
