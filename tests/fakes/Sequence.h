#pragma once

// What the in-memory stand-ins share: one count that orders their calls, so
// that a test can tell in which order a handler's registry, code-page, heap
// and window calls came; and a failure that a test scripts for the nth call
// of a kind.

#include <cstdint>
#include <optional>

namespace fake {

inline std::uint64_t& LastSequenceNumber() {
    static std::uint64_t last = 0;
    return last;
}

// The nth call from now fails, once a test has said so; it then knows where
// in the shared sequence that call came.
class ScriptedFailure {
public:
    void FailNth(int nth) {
        callsToGo_ = nth;
        met_.reset();
    }
    // Counts a call: true for the one that fails.
    bool Fails() {
        if (callsToGo_ <= 0 || --callsToGo_ > 0) {
            return false;
        }
        met_ = ++LastSequenceNumber();
        return true;
    }
    const std::optional<std::uint64_t>& Met() const { return met_; }

private:
    int callsToGo_ = 0;
    std::optional<std::uint64_t> met_;
};

}  // namespace fake
