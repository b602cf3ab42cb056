#pragma once

// What a correct Velmora ends with, in the program's rules and none of its
// code, for the event fuzzer to hold the real one to. It hears of each event
// that reached the program with no message box open, and of the scripted
// registry failure, if any, that the program met while handling it; from the
// values stored in both places it says what the Windows 9x place holds, byte
// for byte, the exit code and the step reached.

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "patch/FormServices.h"
#include "tests/support/StoredBytes.h"

class OutcomeModel {
public:
    using Place = std::map<std::string, StoredBytes>;  // by value name
    // What failed, and how many registry calls the handler made before it.
    struct Failure {
        enum class Of { RegistryCall, KeyClose, CodePageOrMemory } of;
        std::size_t callsBefore;
    };

    // A failed read makes a value absent; a number other than 0 or a text of
    // one character or more is present.
    void Activated(patch::Answer answer, const std::optional<Failure>& failure) {
        if (!exitCode && !activated) {
            activated = true;
            End(!Failed(failure) && Present(Read(windows9x, "FirstInstallDateTime")) &&
                    Present(Read(windows9x, "RegisteredOwner")) && answer == patch::Answer::No,
                patch::ExitCode::NothingWritten);
        }
    }

    // Step 1 reads both values; step 2 writes them, the date's write being the
    // handler's second registry call, after the open; step 3 completes.
    void Ticked(const std::optional<Failure>& failure) {
        if (exitCode || !activated) {
            return;
        }
        step = std::min(step + 1, 4);
        if (step == 1) {
            date_ = Read(windowsNt, "InstallDate");
            owner_ = Read(windowsNt, "RegisteredOwner");
            End(!date_ || !owner_ || Failed(failure), patch::ExitCode::RegistryFailure);
        } else if (step == 2) {
            const auto date = date_->number ? date_->number : WholeNumber(date_->text);
            if (date && (!Failed(failure) || failure->callsBefore >= 2)) {
                windows9x["FirstInstallDateTime"] = Dword(static_cast<std::uint32_t>(*date));
            }
            End(!date, patch::ExitCode::UnexpectedFailure);
            // A failed conversion or allocation is not trapped by WriteValue.
            End(Failed(failure), failure && failure->of == Failure::Of::CodePageOrMemory
                                     ? patch::ExitCode::UnexpectedFailure
                                     : patch::ExitCode::RegistryFailure);
            if (!exitCode) {
                // Windows stores the NUL that follows a text in memory when the count left it out.
                std::string owner = owner_->number ? std::to_string(*owner_->number) : owner_->text;
                windows9x["RegisteredOwner"] =
                    Text(owner.empty() || owner.back() == '\0' ? owner : owner + '\0');
            }
        }
    }

    // Cancel can be pressed until step 2, Close from step 3; the close box always.
    void Pressed(patch::Button button) {
        End(button == patch::Button::Cancel && step < 2, patch::ExitCode::NothingWritten);
        End(button == patch::Button::Close && step >= 3, patch::ExitCode::PatchApplied);
    }
    void Closed() {
        End(true, step >= 2 ? patch::ExitCode::PatchApplied : patch::ExitCode::NothingWritten);
    }

    Place windowsNt;
    Place windows9x;
    std::optional<patch::ExitCode> exitCode;
    int step = 0;
    bool activated = false;

private:
    // A value as the program reads it: a number or a text's bytes.
    struct Value {
        std::optional<std::int32_t> number;
        std::string text;
    };

    // A text as stored; a number from at most 4 bytes, little-endian; nothing
    // for a missing value, a longer number or another type.
    static std::optional<Value> Read(const Place& place, const std::string& name) {
        const auto found = place.find(name);
        if (found == place.end()) {
            return std::nullopt;
        }
        const auto& [type, bytes] = found->second;
        if (type == registry::api::kRegSz) {
            return Value{std::nullopt, {bytes.begin(), bytes.end()}};
        }
        if ((type != registry::api::kRegBinary && type != registry::api::kRegDword) ||
            bytes.size() > 4) {
            return std::nullopt;
        }
        std::uint32_t number = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            number |= std::uint32_t{bytes[i]} << (8 * i);
        }
        return Value{static_cast<std::int32_t>(number), {}};
    }

    // The number that a text reads as, worked out from the text alone, as a
    // person would: up to the first NUL and without the blanks around it, an
    // optional sign, then digits with at most one '.' among them, rounded half
    // to even; nothing for anything else or outside the 32-bit signed range.
    // Every byte that may be part of a number is the same in Windows-1252 and
    // ASCII.
    static std::optional<std::int32_t> WholeNumber(std::string text) {
        text = text.substr(0, text.find('\0'));
        const auto first = text.find_first_not_of(" \t");
        if (first == std::string::npos) {
            return std::nullopt;
        }
        text = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
        const bool negative = text[0] == '-';
        if (text[0] == '-' || text[0] == '+') {
            text.erase(0, 1);
        }
        const auto point = text.find('.');
        std::string whole = text.substr(0, point);
        const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
        const auto digits = [](const std::string& part) {
            return part.find_first_not_of("0123456789") == std::string::npos;
        };
        if (!digits(whole) || !digits(fraction) || whole.size() + fraction.size() == 0) {
            return std::nullopt;
        }
        whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
        if (whole.size() > 10) {
            return std::nullopt;
        }
        long long magnitude = whole.empty() ? 0 : std::stoll(whole);
        const bool beyondHalf = fraction.find_first_not_of('0', 1) != std::string::npos;
        if (!fraction.empty() &&
            (fraction[0] > '5' || (fraction[0] == '5' && (beyondHalf || magnitude % 2 == 1)))) {
            ++magnitude;
        }
        const long long number = negative ? -magnitude : magnitude;
        if (number < INT32_MIN || number > INT32_MAX) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(number);
    }

    static bool Present(const std::optional<Value>& value) {
        return value && (value->number ? *value->number != 0 : !value->text.empty());
    }
    static bool Failed(const std::optional<Failure>& failure) {
        return failure && failure->of != Failure::Of::KeyClose;  // a close is never looked at
    }
    void End(bool ends, patch::ExitCode code) {
        if (ends && !exitCode) {
            exitCode = code;
        }
    }

    std::optional<Value> date_;
    std::optional<Value> owner_;
};
