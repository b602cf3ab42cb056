// Fuzzes the order in which a person and the system deliver events to frmPatch,
// through the real FormEvents, over the in-memory registry and the window on a
// manual clock, and checks the program's promises after every event.
//
// An input is readable text; whatever else it holds is skipped:
//   ni<type>:<hex>  stores the Windows NT place's "InstallDate" with that type
//   no<type>:<hex>  its "RegisteredOwner"; wi and wo, the Windows 9x place's
//                   "FirstInstallDateTime" and "RegisteredOwner" (absent unless given)
//   A  the window is activated       T  a tick of tmrStep that was queued
//   W<ms>  the clock moves on, delivering each tick as it falls due
//   R<n>  the next random fraction is n/1000 (0 until given; 1000 and above too)
//   C  Cancel pressed   X  Close pressed   B  the close box
//   {...}  events that arrive while the next message box is open
//   !<o|q|s|c><n>  the nth open, query, set or close from here answers 5;
//   !k<n>  the nth code-page conversion from here raises (only the first ! counts)
//   Y, N  how the start-up question is answered from here (Yes until told)
//   #  a comment, to the end of the line

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "patch/RegistryPlaces.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/fakes/FakeWindow.h"

namespace {

using fake::RegistryCall;
using patch::Button;
using patch::ExitCode;

void Promise(bool kept, const char* promise) {
    if (!kept) {
        std::fprintf(stderr, "broken promise: %s\n", promise);
        __builtin_trap();  // a finding: libFuzzer saves the input
    }
}

std::uint32_t Number(std::string_view& rest, std::uint32_t limit) {
    std::uint32_t number = 0;
    while (!rest.empty() && rest[0] >= '0' && rest[0] <= '9') {
        number = std::min(limit, number * 10 + static_cast<std::uint32_t>(rest[0] - '0'));
        rest.remove_prefix(1);
    }
    return number;
}

std::vector<std::uint8_t> HexBytes(std::string_view& rest) {
    const auto digit = [](char c) { return c >= 'a' && c <= 'f' ? c - 'a' + 10 : c - '0'; };
    const auto isDigit = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    std::vector<std::uint8_t> bytes;
    while (rest.size() >= 2 && isDigit(rest[0]) && isDigit(rest[1])) {
        bytes.push_back(static_cast<std::uint8_t>(digit(rest[0]) * 16 + digit(rest[1])));
        rest.remove_prefix(2);
    }
    return bytes;
}

const std::vector<std::string> kBothValues = {"firstinstalldatetime", "registeredowner"};
const std::vector<std::string> kStatusOrder = {" Gathering Patch Information", " Applying Patch",
                                               " Update Complete"};

class Run {
public:
    explicit Run(std::string_view input) {
        registry_.Reset();
        registry_.CreateKey(patch::kWindowsNtPlace);
        registry_.CreateKey(patch::kWindows9xPlace);
        window_.whileMessageBoxOpen = [this] { WhileMessageBoxOpen(); };
        Deliver(input);
    }

private:
    // Inside a message box, whatever reaches the window must run no handler.
    void Deliver(std::string_view rest) {
        const bool insideBox = insideBox_;
        const std::size_t logged = window_.Log().size();
        const auto step = window_.Form().StepNumber;
        for (int events = 0; !rest.empty() && events < 64; ++events) {
            const char what = rest[0];
            rest.remove_prefix(1);
            if (what == 'A') {
                window_.AnswerNextQuestion(answer_);  // only an activation asks
                window_.Activate();
            } else if (what == 'Y' || what == 'N') {
                answer_ = what == 'Y' ? patch::Answer::Yes : patch::Answer::No;
            } else if (what == 'T' && !window_.Logged("arm").empty()) {
                window_.Events().TimerTicked();  // Windows sends none before the timer is set
            } else if (what == 'W') {
                window_.AdvanceClock(Number(rest, 10000));
            } else if (what == 'R') {
                window_.GiveFractions({static_cast<float>(Number(rest, 2000)) / 1000.0f});
            } else if (what == 'C' || what == 'X') {
                window_.Press(what == 'C' ? Button::Cancel : Button::Close);
            } else if (what == 'B') {
                window_.Close();
            } else if ((what == 'n' || what == 'w') && !rest.empty() &&
                       (rest[0] == 'i' || rest[0] == 'o')) {
                Store(what == 'n', rest);
            } else if (what == '!' && !rest.empty()) {
                ScriptFailure(rest);
            } else if (what == '#' || what == '{') {
                const std::size_t end = std::min(rest.size(), rest.find(what == '#' ? '\n' : '}'));
                if (what == '{' && !insideBox) {
                    boxEvents_.push_back(rest.substr(0, end));
                }
                rest.remove_prefix(end);
            }
            for (std::size_t i = logged; insideBox && i < window_.Log().size(); ++i) {
                Promise(window_.Log()[i].what == "tick",
                        "no handler starts while another is running");
            }
            Promise(!insideBox || window_.Form().StepNumber == step,
                    "no step runs while a message box is open");
            CheckPromises();
        }
    }

    void WhileMessageBoxOpen() {
        Promise(!insideBox_, "no handler starts while another is running");
        CheckPromises();
        if (!boxEvents_.empty()) {
            const std::string_view events = boxEvents_.front();
            boxEvents_.pop_front();
            insideBox_ = true;
            Deliver(events);
            insideBox_ = false;
        }
    }

    void Store(bool windowsNt, std::string_view& rest) {
        const bool date = rest[0] == 'i';
        rest.remove_prefix(1);
        const auto type = static_cast<std::int32_t>(Number(rest, 0x7FFFFFFF));
        if (!rest.empty() && rest[0] == ':') {
            rest.remove_prefix(1);
        }
        registry_.Put(
            windowsNt ? patch::kWindowsNtPlace : patch::kWindows9xPlace,
            date ? (windowsNt ? "InstallDate" : "FirstInstallDateTime") : "RegisteredOwner", type,
            HexBytes(rest));
    }

    void ScriptFailure(std::string_view& rest) {
        const std::string_view calls = "oqsck";  // RegistryCall's order, then conversions
        const std::size_t call = calls.find(rest[0]);
        rest.remove_prefix(1);
        const int nth = static_cast<int>(Number(rest, 64));
        if (failureScripted_ || call == calls.npos || nth == 0) {
            return;
        }
        failureScripted_ = true;
        if (calls[call] == 'k') {
            registry_.FailConversion(nth);
        } else {
            registry_.FailCall(static_cast<RegistryCall>(call), nth, 5);
        }
    }

    bool Logged(const std::string& kind, std::string_view text) const {
        const auto texts = window_.Logged(kind);
        return std::any_of(texts.begin(), texts.end(),
                           [&](const std::string& logged) { return logged.rfind(text, 0) == 0; });
    }

    void CheckPromises() {
        std::vector<std::string> written;
        for (const auto& store : registry_.Stores()) {
            Promise(store.path == "software\\microsoft\\windows\\currentversion",
                    "nothing in the Windows NT place ever changes");
            written.push_back(store.name);
        }
        Promise(written.empty() || Logged("status", " Applying Patch"),
                "nothing is written to the Windows 9x place before \" Applying Patch\"");
        Promise(written.empty() || written == kBothValues ||
                    (written.size() == 1 && written[0] == kBothValues[0] &&
                     (Logged("tell", "Cannot write to system registry.") || Logged("report", ""))),
                "once anything is written, both values are, or the second write's failure was "
                "reported");
        Promise(window_.Logged("arm").size() <= 1, "Form_Activate runs at most once");
        const auto& log = window_.Log();
        for (std::size_t i = 0; i + 1 < log.size(); ++i) {
            Promise(log[i].what.rfind("end ", 0) != 0, "nothing runs after the end");
        }
        Promise(written != kBothValues || !window_.IsEnabled(Button::Cancel),
                "Cancel is never enabled once the values are written");
        Promise(!window_.IsEnabled(Button::Close) || window_.StatusText() == " Update Complete",
                "Close is enabled only at \" Update Complete\"");
        Promise(window_.ExitCode() != ExitCode::PatchApplied || written == kBothValues,
                "exit code 0 only with both values written");
        Promise(window_.ExitCode() != ExitCode::NothingWritten || written.empty(),
                "exit code 1 only with nothing written");
        Promise(window_.Form().StepNumber >= 0 && window_.Form().StepNumber <= 4,
                "StepNumber stays within 0 to 4");
        const auto statuses = window_.Logged("status");
        Promise(statuses.size() <= kStatusOrder.size() &&
                    std::equal(statuses.begin(), statuses.end(), kStatusOrder.begin()),
                "the status texts appear only in their order");
    }

    fake::FakeRegistry& registry_ = fake::FakeRegistry::Instance();
    fake::FakeWindow window_;
    std::deque<std::string_view> boxEvents_;
    patch::Answer answer_ = patch::Answer::Yes;
    bool failureScripted_ = false;
    bool insideBox_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Run(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
