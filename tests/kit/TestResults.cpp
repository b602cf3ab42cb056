#include "tests/kit/TestResults.h"

namespace kit {

namespace {

constexpr std::string_view kRun = "[ RUN      ] ";
constexpr std::string_view kOk = "[       OK ] ";
constexpr std::string_view kFailed = "[  FAILED  ] ";
constexpr std::string_view kSkipped = "[  SKIPPED ] ";
// How much of a test's own output its detail keeps.
constexpr std::size_t kDetailLimit = 2000;

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

// The test's name in a result line: up to ", where GetParam()" or " (N ms)".
std::string_view ResultName(std::string_view rest) {
    const std::size_t where = rest.find(", where ");
    const std::size_t time = rest.rfind(" (");
    return rest.substr(0, where != std::string_view::npos ? where : time);
}

void AddResult(std::string_view program, std::string_view name, Outcome outcome,
               std::string_view detail, List<TestResult>& results) {
    TestResult* result = results.Add();
    if (result == nullptr) {
        return;
    }
    result->program.Append(program);
    result->name.Append(name);
    result->outcome = outcome;
    result->detail.Append(detail.substr(0, kDetailLimit));
}

// The reason GTEST_SKIP gave: what follows its "file:line: Skipped" line.
std::string_view SkipReason(std::string_view output) {
    const std::size_t skipped = output.find(": Skipped");
    if (skipped == std::string_view::npos) {
        return {};
    }
    const std::size_t line = output.find('\n', skipped);
    return line == std::string_view::npos ? std::string_view() : output.substr(line + 1);
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view FirstLine(std::string_view text) {
    text = Trimmed(text);
    const std::size_t end = text.find('\n');
    return Trimmed(text.substr(0, end));
}

// As an XML attribute: markup escaped, anything but printable ASCII a '?'.
void AppendXmlText(Buffer& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&':
                out.Append("&amp;");
                break;
            case '<':
                out.Append("&lt;");
                break;
            case '>':
                out.Append("&gt;");
                break;
            case '"':
                out.Append("&quot;");
                break;
            case '\n':
                out.Append("&#10;");
                break;
            case '\r':
                break;
            default:
                out.Append(c >= ' ' && c <= '~' ? c : '?');
        }
    }
}

}  // namespace

std::size_t ReadGtestLog(std::string_view program, std::string_view log, std::string_view ending,
                         List<TestResult>& results) {
    std::size_t added = 0;
    std::string_view running;
    std::size_t runningFrom = 0;  // where its own output begins in `log`
    std::size_t at = 0;
    while (at < log.size()) {
        std::size_t end = log.find('\n', at);
        end = end == std::string_view::npos ? log.size() : end;
        std::string_view line = log.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::size_t lineStart = at;
        at = end + 1;
        if (StartsWith(line, kRun)) {
            running = line.substr(kRun.size());
            runningFrom = at;
            continue;
        }
        if (running.empty()) {
            continue;  // the summary after the tests names them again
        }
        const std::string_view output = log.substr(runningFrom, lineStart - runningFrom);
        for (const auto& [marker, outcome] :
             {std::pair{kOk, Outcome::Passed}, std::pair{kFailed, Outcome::Failed},
              std::pair{kSkipped, Outcome::Skipped}}) {
            if (StartsWith(line, marker) && ResultName(line.substr(marker.size())) == running) {
                AddResult(program, running, outcome,
                          Trimmed(outcome == Outcome::Skipped ? SkipReason(output) : output),
                          results);
                ++added;
                running = {};
                break;
            }
        }
    }
    if (!running.empty()) {
        AddResult(program, running, Outcome::Failed, ending, results);
        ++added;
    }
    return added;
}

void AddProgramFailure(std::string_view program, std::string_view why, List<TestResult>& results) {
    AddResult(program, "(the program itself)", Outcome::Failed, why, results);
}

Counts Count(const List<TestResult>& results) {
    Counts counts;
    for (const TestResult& result : results) {
        ++(result.outcome == Outcome::Passed   ? counts.passed
           : result.outcome == Outcome::Failed ? counts.failed
                                               : counts.skipped);
    }
    return counts;
}

void WriteTextReport(std::string_view header, const List<TestResult>& results, Buffer& out) {
    out.Append(header);
    for (const TestResult& result : results) {
        out.Append(result.outcome == Outcome::Passed   ? "passed   "
                   : result.outcome == Outcome::Failed ? "FAILED   "
                                                       : "skipped  ");
        out.Append(result.program.View()).Append(' ').Append(result.name.View());
        if (result.outcome != Outcome::Passed) {
            out.Append(": ").Append(FirstLine(result.detail.View()));
        }
        out.Append("\r\n");
    }
    const Counts counts = Count(results);
    out.AppendNumber(counts.passed).Append(" passed, ").AppendNumber(counts.failed);
    out.Append(" failed, ").AppendNumber(counts.skipped).Append(" skipped\r\n");
}

void WriteJunit(const List<TestResult>& results, Buffer& out) {
    const Counts all = Count(results);
    out.Append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites tests=\"");
    out.AppendNumber(results.Size()).Append("\" failures=\"").AppendNumber(all.failed);
    out.Append("\" skipped=\"").AppendNumber(all.skipped).Append("\">\n");
    for (std::size_t i = 0; i < results.Size(); ++i) {
        const std::string_view program = results[i].program.View();
        if (i == 0 || results[i - 1].program.View() != program) {
            Counts suite;
            std::size_t tests = 0;
            for (std::size_t j = i; j < results.Size() && results[j].program.View() == program;
                 ++j, ++tests) {
                ++(results[j].outcome == Outcome::Failed    ? suite.failed
                   : results[j].outcome == Outcome::Skipped ? suite.skipped
                                                            : suite.passed);
            }
            out.Append("  <testsuite name=\"");
            AppendXmlText(out, program);
            out.Append("\" tests=\"").AppendNumber(tests).Append("\" failures=\"");
            out.AppendNumber(suite.failed).Append("\" skipped=\"").AppendNumber(suite.skipped);
            out.Append("\">\n");
        }
        const std::string_view name = results[i].name.View();
        const std::size_t dot = name.find('.');
        out.Append("    <testcase classname=\"");
        AppendXmlText(out, dot == std::string_view::npos ? program : name.substr(0, dot));
        out.Append("\" name=\"");
        AppendXmlText(out, dot == std::string_view::npos ? name : name.substr(dot + 1));
        out.Append('"');
        if (results[i].outcome == Outcome::Passed) {
            out.Append("/>\n");
        } else {
            out.Append(results[i].outcome == Outcome::Failed ? "><failure message=\""
                                                             : "><skipped message=\"");
            AppendXmlText(out, results[i].detail.View());
            out.Append("\"/></testcase>\n");
        }
        if (i + 1 == results.Size() || results[i + 1].program.View() != program) {
            out.Append("  </testsuite>\n");
        }
    }
    out.Append("</testsuites>\n");
}

}  // namespace kit
