// Binds the basics' code page (CP_ACP) and memory (the process heap) to
// kernel32 in Velmora.exe.

#include <windows.h>

#include "basics/CodePageApi.h"
#include "basics/HeapApi.h"

namespace basics::api {

// Flags 0 in both directions: Windows NT 4.0 refuses the newer ones, and a
// text read through the code page always converts back to the same bytes.
int WideCharToMultiByte(const char16_t* text, int length, char* out, int capacity) {
    return ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text), length, out,
                                 capacity, nullptr, nullptr);
}

int MultiByteToWideChar(const char* bytes, int length, char16_t* out, int capacity) {
    return ::MultiByteToWideChar(CP_ACP, 0, bytes, length, reinterpret_cast<wchar_t*>(out),
                                 capacity);
}

void* HeapAlloc(std::size_t bytes) {
    return ::HeapAlloc(GetProcessHeap(), 0, bytes);
}

void HeapFree(void* memory) {
    if (memory != nullptr) {
        ::HeapFree(GetProcessHeap(), 0, memory);
    }
}

}  // namespace basics::api
