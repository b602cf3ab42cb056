#pragma once

// A failure that the program does not trap, such as a value that WriteValue
// cannot convert: it is passed up as a value, handler by handler, to the top
// of the program (the window's event dispatch), which reports its reason and
// ends the program. The reason is kept in the object itself, so that telling
// of a failure never needs memory, which may be what ran out.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace basics {

class Failure {
public:
    explicit Failure(std::string_view reason) { Append(reason); }

    // Adds to the reason; what does not fit is left out.
    Failure& Append(std::string_view more) {
        for (const char c : more) {
            if (length_ + 1 < reason_.size()) {
                reason_[length_++] = c;
            }
        }
        return *this;
    }

    const char* Reason() const { return reason_.data(); }

private:
    std::array<char, 256> reason_{};
    std::size_t length_ = 0;
};

// What a handler, or a call that may fail untrapped, answers: nothing where it
// ran to its end, otherwise the failure to report.
using Outcome = std::optional<Failure>;

}  // namespace basics
