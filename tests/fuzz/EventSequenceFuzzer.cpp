// Fuzzes the order in which a person and the system deliver events to frmPatch,
// through the real EventDispatch, over the in-memory registry and the window on a
// manual clock, and holds the program to its promises after every event and
// every tick: what must never happen, and what must happen, the outcome that a
// model of the program's rules gives (OutcomeModel.h), and steps that run when
// they fall due. Once the input is spent, a run that it activated and did not
// end goes on until " Update Complete".
//
// An input is readable text; whatever else it holds is skipped:
//   ni<type>:<hex>  stores the Windows NT place's "InstallDate" with that type
//   no<type>:<hex>  its "RegisteredOwner"; wi and wo, the Windows 9x place's
//                   "FirstInstallDateTime" and "RegisteredOwner" (absent unless
//                   given); hex digits in either case. Not while a message box
//                   is open, when the program has read what it reads.
//   A  the window is activated       T  a tick of tmrStep that was queued
//   W<ms>  the clock moves on, delivering each tick as it falls due (at most 10000)
//   R<n>  the next random fraction is n/1000 (0 until given; 1000 to 2000 too)
//   C  Cancel pressed   X  Close pressed   B  the close box
//   D  the window destroyed, as its hidden owner goes (also inside a box)
//   {...}  events that arrive while the next message box is open
//   !<o|q|s|c><n>  the nth open, query, set or close from here answers 5;
//   !k<n>  the nth code-page conversion from here is refused; !m<n>  the nth
//          allocation from here finds no memory (only the first ! counts)
//   Y, N  how the start-up question is answered from here (Yes until told)
//   #  a comment, to the end of the line
// At most 64 of these are taken from the input.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "patch/RegistryPlaces.h"
#include "tests/fakes/FakeCodePage.h"
#include "tests/fakes/FakeHeap.h"
#include "tests/fakes/FakeRegistry.h"
#include "tests/fakes/FakeWindow.h"
#include "tests/fuzz/OutcomeModel.h"
#include "tests/fuzz/Promise.h"

namespace {

using fake::FakeWindow;
using fake::RegistryCall;
using patch::Button;

// Decimal digits, capped at `limit` however many there are.
std::uint32_t Number(std::string_view& rest, std::uint32_t limit) {
    std::uint64_t number = 0;
    while (!rest.empty() && rest[0] >= '0' && rest[0] <= '9') {
        number = std::min<std::uint64_t>(limit, number * 10 + (rest[0] - '0'));
        rest.remove_prefix(1);
    }
    return static_cast<std::uint32_t>(number);
}

int HexDigit(char c) {
    const char lower = static_cast<char>(c | 0x20);
    return c >= '0' && c <= '9' ? c - '0' : lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

std::vector<std::uint8_t> HexBytes(std::string_view& rest) {
    std::vector<std::uint8_t> bytes;
    while (rest.size() >= 2 && HexDigit(rest[0]) >= 0 && HexDigit(rest[1]) >= 0) {
        bytes.push_back(static_cast<std::uint8_t>(HexDigit(rest[0]) * 16 + HexDigit(rest[1])));
        rest.remove_prefix(2);
    }
    return bytes;
}

bool StartsWith(const std::string& text, std::string_view start) {
    return text.rfind(start, 0) == 0;
}

const std::vector<std::string> kStatusOrder = {" Gathering Patch Information", " Applying Patch",
                                               " Update Complete"};

class Run {
public:
    explicit Run(std::string_view input) {
        registry_.Reset();
        fake::FakeCodePage::Instance().Reset();
        fake::FakeHeap::Instance().Reset();
        registry_.CreateKey(patch::kWindowsNtPlace);
        registry_.CreateKey(patch::kWindows9xPlace);
        window_.whileMessageBoxOpen = [this] { WhileMessageBoxOpen(); };
        window_.afterTick = [this](const FakeWindow::Event& tick) {
            if (!insideBox_) {
                model_.Ticked(FailureSince(tick.sequence));
            }
            CheckPromises();
        };
        Deliver(input);
        if (model_.activated && !model_.exitCode) {
            window_.AdvanceClock(20000);
            Promise(model_.exitCode || window_.StatusText() == " Update Complete",
                    "a run that nothing ends reaches \" Update Complete\"");
        }
    }

private:
    // Inside a message box, whatever reaches the window must run no handler;
    // the model hears only of what reaches the program with no box open.
    void Deliver(std::string_view rest) {
        const bool insideBox = insideBox_;
        const std::size_t logged = window_.Log().size();
        for (int events = 0; !rest.empty() && events < 64;) {
            const char what = rest[0];
            rest.remove_prefix(1);
            const std::uint64_t start = fake::LastSequenceNumber();
            ++events;
            if (what == 'A') {
                const patch::Answer answer = answer_;  // an N in the box comes too late
                window_.AnswerNextQuestion(answer);    // only an activation asks
                window_.Activate();
                if (!insideBox) {
                    // The question goes with a window destroyed while it is asked.
                    model_.Activated(destroyedInBox_ ? patch::Answer::No : answer,
                                     FailureSince(start));
                }
            } else if (what == 'Y' || what == 'N') {
                answer_ = what == 'Y' ? patch::Answer::Yes : patch::Answer::No;
            } else if (what == 'T' && !window_.Logged("arm").empty()) {
                window_.Events().TimerTicked();  // Windows sends none before the timer is set
                if (!insideBox) {
                    model_.Ticked(FailureSince(start));
                }
            } else if (what == 'W') {
                window_.AdvanceClock(Number(rest, 10000));
            } else if (what == 'R') {
                window_.GiveFractions({static_cast<float>(Number(rest, 2000)) / 1000.0f});
            } else if (what == 'C' || what == 'X') {
                const Button button = what == 'C' ? Button::Cancel : Button::Close;
                window_.Press(button);
                if (!insideBox) {
                    model_.Pressed(button);
                }
            } else if (what == 'B' || what == 'D') {
                if (what == 'B') {
                    window_.Close();
                } else {
                    window_.Destroy();
                    destroyedInBox_ = destroyedInBox_ || insideBox;
                }
                // A box open at a close keeps the window; at a destroy, its
                // handler ends the program as the box closes.
                if (!insideBox) {
                    model_.Closed();
                }
            } else if ((what == 'n' || what == 'w') && !rest.empty() &&
                       (rest[0] == 'i' || rest[0] == 'o')) {
                Store(what == 'n', rest, !insideBox);
            } else if (what == '!' && !rest.empty()) {
                ScriptFailure(rest);
            } else if (what == '#' || what == '{') {
                const std::size_t end = std::min(rest.size(), rest.find(what == '#' ? '\n' : '}'));
                if (what == '{' && !insideBox) {
                    boxEvents_.push_back(rest.substr(0, end));
                }
                events -= what == '#';
                rest.remove_prefix(end);
            } else {
                --events;  // skipped
            }
            for (std::size_t i = logged; insideBox && i < window_.Log().size(); ++i) {
                Promise(window_.Log()[i].what == "tick",
                        "no handler starts while another is running");
            }
            CheckPromises();
        }
    }

    void WhileMessageBoxOpen() {
        Promise(!insideBox_, "no handler starts while another is running");
        insideBox_ = true;
        CheckPromises();
        if (!boxEvents_.empty()) {
            const std::string_view events = boxEvents_.front();
            boxEvents_.pop_front();
            Deliver(events);
        }
        insideBox_ = false;
    }

    void Store(bool windowsNt, std::string_view& rest, bool stored) {
        const bool date = rest[0] == 'i';
        rest.remove_prefix(1);
        const auto type = static_cast<std::int32_t>(Number(rest, 0x7FFFFFFF));
        if (!rest.empty() && rest[0] == ':') {
            rest.remove_prefix(1);
        }
        const char* name =
            date ? (windowsNt ? "InstallDate" : "FirstInstallDateTime") : "RegisteredOwner";
        const StoredBytes value{type, HexBytes(rest)};
        if (stored) {
            registry_.Put(windowsNt ? patch::kWindowsNtPlace : patch::kWindows9xPlace, name,
                          value.type, value.bytes);
            (windowsNt ? model_.windowsNt : model_.windows9x)[name] = value;
        }
    }

    void ScriptFailure(std::string_view& rest) {
        const char kind = rest[0];
        rest.remove_prefix(1);
        const int nth = static_cast<int>(Number(rest, 64));
        const std::size_t call = std::string_view("oqsc").find(kind);  // RegistryCall's order
        if (failureScripted_ || nth == 0 ||
            (call == std::string_view::npos && kind != 'k' && kind != 'm')) {
            return;
        }
        failureScripted_ = true;
        if (kind == 'k') {
            fake::FakeCodePage::Instance().RefuseConversion(nth);
        } else if (kind == 'm') {
            fake::FakeHeap::Instance().FailAllocation(nth);
        } else {
            registry_.FailCall(static_cast<RegistryCall>(call), nth, 5);
        }
    }

    // The scripted failure, if the program met it after `start`, with the
    // registry calls that it made in between.
    std::optional<OutcomeModel::Failure> FailureSince(std::uint64_t start) const {
        using Of = OutcomeModel::Failure::Of;
        std::optional<std::uint64_t> at = fake::FakeCodePage::Instance().Refused();
        if (!at) {
            at = fake::FakeHeap::Instance().Failed();
        }
        Of of = Of::CodePageOrMemory;
        if (const auto& failed = registry_.Failed()) {
            at = failed->sequence;
            of = failed->call == RegistryCall::Close ? Of::KeyClose : Of::RegistryCall;
        }
        if (!at || *at <= start) {
            return std::nullopt;
        }
        const auto& calls = registry_.Calls();
        return OutcomeModel::Failure{
            of, static_cast<std::size_t>(
                    std::count_if(calls.begin(), calls.end(), [&](const fake::CallRecord& call) {
                        return call.sequence > start && call.sequence < *at;
                    }))};
    }

    void CheckPromises() {
        // One pass over the window's log. The next step falls due one interval
        // after the timer was last set, or after a message box last closed.
        std::uint64_t applying = UINT64_MAX;
        std::uint64_t cancelChanged = 0;
        bool cancelDisabled = false;
        std::size_t statuses = 0;
        int arms = 0;
        std::optional<std::uint64_t> timerSet;
        std::uint64_t interval = 0;
        std::uint64_t boxClosed = 0;
        const auto& log = window_.Log();
        for (std::size_t i = 0; i < log.size(); ++i) {
            const auto& [time, what, sequence] = log[i];
            Promise(i + 1 == log.size() || !StartsWith(what, "end "), "nothing runs after the end");
            if (StartsWith(what, "status ")) {
                Promise(
                    statuses < kStatusOrder.size() && what.substr(7) == kStatusOrder[statuses++],
                    "the status texts appear only in their order");
                applying = statuses == 2 ? sequence : applying;
            } else if (StartsWith(what, "arm ") || StartsWith(what, "interval ")) {
                timerSet = time;
                interval = std::strtoul(what.c_str() + what.find(' ') + 1, nullptr, 10);
                Promise(what[0] == 'a' ? ++arms == 1 && interval == 1300
                                       : interval >= 1000 && interval <= 2999,
                        "the timer is armed once, at 1300 ms, and every interval drawn lies "
                        "within 1000 to 2999 ms");
            } else if (what == "disarm" || StartsWith(what, "end ")) {
                timerSet.reset();
            } else if (StartsWith(what, "answer ")) {
                boxClosed = time;
            } else if (what.find("cmdCancel") != std::string::npos) {
                cancelChanged = sequence;
                cancelDisabled = StartsWith(what, "disable");
            }
        }

        for (const auto& call : registry_.Calls()) {
            Promise(call.call != RegistryCall::Open ||
                        ((call.path == "software\\microsoft\\windows nt\\currentversion" ||
                          call.path == "software\\microsoft\\windows\\currentversion") &&
                         call.options == 0 && call.access == 0x3F),
                    "every key opened is the Windows NT or the Windows 9x place, with options 0 "
                    "and access 0x3F");
            Promise(call.call != RegistryCall::Close || !call.path.empty(),
                    "a key is closed only while it is open: once, and not after a failed open");
        }
        const auto& stores = registry_.Stores();
        for (const auto& store : stores) {
            Promise(store.path == "software\\microsoft\\windows\\currentversion",
                    "nothing in the Windows NT place ever changes");
            Promise(store.sequence > applying,
                    "nothing is written to the Windows 9x place before \" Applying Patch\"");
        }
        Promise(stores.size() < 2 || (cancelDisabled && cancelChanged > stores.back().sequence),
                "Cancel is disabled once both values are written, and stays so");
        if (insideBox_) {
            return;  // the model hears of the event once its box has closed
        }
        Promise(!timerSet || window_.Now() <= std::max(*timerSet, boxClosed) +
                                                  std::max<std::uint64_t>(interval, 10),
                "a step runs when it falls due: 1300 ms after activation, then one drawn "
                "interval after the last step or after a message box closes");
        Promise(window_.ExitCode() == model_.exitCode, "the exit code is the model's");
        Promise(window_.Form().StepNumber == model_.step, "the step reached is the model's");
        OutcomeModel::Place windows9x;
        for (const char* name : {"FirstInstallDateTime", "RegisteredOwner"}) {
            if (const auto stored = registry_.Get(patch::kWindows9xPlace, name)) {
                windows9x[name] = *stored;
            }
        }
        Promise(windows9x == model_.windows9x,
                "the Windows 9x place holds the model's values, byte for byte");
    }

    fake::FakeRegistry& registry_ = fake::FakeRegistry::Instance();
    FakeWindow window_;
    OutcomeModel model_;
    std::deque<std::string_view> boxEvents_;
    patch::Answer answer_ = patch::Answer::Yes;
    bool failureScripted_ = false;
    bool insideBox_ = false;
    bool destroyedInBox_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Run(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
