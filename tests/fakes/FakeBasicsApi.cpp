// Binds the basics' code page and memory to the in-memory system in the host
// build, where a test can make a conversion or an allocation fail.

#include <cstdlib>

#include "basics/CodePageApi.h"
#include "basics/HeapApi.h"
#include "tests/fakes/FakeRegistry.h"

namespace basics::api {

using fake::FakeRegistry;

int WideCharToMultiByte(const char16_t* text, int length, char* out, int capacity) {
    return FakeRegistry::Instance().WideCharToMultiByte(text, length, out, capacity);
}

int MultiByteToWideChar(const char* bytes, int length, char16_t* out, int capacity) {
    return FakeRegistry::Instance().MultiByteToWideChar(bytes, length, out, capacity);
}

void* HeapAlloc(std::size_t bytes) {
    return FakeRegistry::Instance().HeapAlloc(bytes);
}

void HeapFree(void* memory) {
    std::free(memory);
}

}  // namespace basics::api
