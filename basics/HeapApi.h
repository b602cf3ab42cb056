#pragma once

// The memory that the program's texts take, from the process heap (HeapAlloc,
// HeapFree). Velmora.exe binds these to kernel32 (platform/Win32BasicsApi.cpp);
// the host tests to memory that a test can make run out
// (tests/fakes/FakeBasicsApi.cpp).

#include <cstddef>

namespace basics::api {

// nullptr when there is no memory to be had.
void* HeapAlloc(std::size_t bytes);
void HeapFree(void* memory);

}  // namespace basics::api
