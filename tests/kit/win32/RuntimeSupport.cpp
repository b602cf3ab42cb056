// What the standard library's headers call in the runner beyond what
// platform/CompilerSupport.cpp gives: std::string_view's find looks for a
// byte with memchr, and its substr reports a position past the end, which
// the runner never asks for, through __throw_out_of_range_fmt. Built, as
// CompilerSupport.cpp is, so that the loop is not turned into a call of the
// function it defines.

#include <windows.h>

#include <cstddef>

extern "C" void* memchr(const void* memory, int value, std::size_t count) {
    const auto* byte = static_cast<const unsigned char*>(memory);
    for (; count > 0; --count, ++byte) {
        if (*byte == static_cast<unsigned char>(value)) {
            return const_cast<unsigned char*>(byte);
        }
    }
    return nullptr;
}

namespace std {

// The runner has no exceptions: a fault of its own ends it, as one that it
// could not run (exit code 2).
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) {
    ExitProcess(2);
}

}  // namespace std
