#include "tests/fakes/FakeHeap.h"

#include <algorithm>
#include <cstdlib>

namespace fake {

FakeHeap& FakeHeap::Instance() {
    static FakeHeap heap;
    return heap;
}

// HeapAlloc gives a block for 0 bytes too.
void* FakeHeap::Allocate(std::size_t bytes) {
    return failure_.Fails() ? nullptr : std::malloc(std::max<std::size_t>(bytes, 1));
}

void FakeHeap::Free(void* memory) {
    std::free(memory);
}

}  // namespace fake
