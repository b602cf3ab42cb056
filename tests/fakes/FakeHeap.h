#pragma once

// An in-memory stand-in for the process heap, behind the basics' heap calls
// (FakeBasicsApi.cpp), for host tests: the C library's allocator, which
// AddressSanitizer watches, and no memory for the allocation that a test
// names.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "tests/fakes/Sequence.h"

namespace fake {

class FakeHeap {
public:
    // The heap that the basics' calls reach in the host build.
    static FakeHeap& Instance();

    // Forgets a scripted failure.
    void Reset() { failure_ = {}; }
    // The nth allocation from now finds no memory.
    void FailAllocation(int nth) { failure_.FailNth(nth); }
    // Where in the shared sequence the scripted failure came, once it has.
    const std::optional<std::uint64_t>& Failed() const { return failure_.Met(); }

    void* Allocate(std::size_t bytes);
    void Free(void* memory);

private:
    ScriptedFailure failure_;
};

}  // namespace fake
