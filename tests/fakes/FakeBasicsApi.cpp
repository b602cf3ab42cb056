// Binds the basics' code page and memory to the in-memory stand-ins in the
// host build, where a test can make a conversion or an allocation fail.

#include "basics/CodePageApi.h"
#include "basics/HeapApi.h"
#include "tests/fakes/FakeCodePage.h"
#include "tests/fakes/FakeHeap.h"

namespace basics::api {

int WideCharToMultiByte(const char16_t* text, int length, char* out, int capacity) {
    return fake::FakeCodePage::Instance().ToAnsi(text, length, out, capacity);
}

int MultiByteToWideChar(const char* bytes, int length, char16_t* out, int capacity) {
    return fake::FakeCodePage::Instance().FromAnsi(bytes, length, out, capacity);
}

void* HeapAlloc(std::size_t bytes) {
    return fake::FakeHeap::Instance().Allocate(bytes);
}

void HeapFree(void* memory) {
    fake::FakeHeap::Instance().Free(memory);
}

}  // namespace basics::api
