// What GCC's code may call although the source never does, and which the C
// runtime would otherwise supply: it turns copies and fills of memory into
// calls of memcpy, memmove and memset, and compares with memcmp; the standard
// library's string_view measures a C string with strlen; __cxa_pure_virtual
// runs should an object's pure virtual function ever be called while it is
// made. Built so that the loops below are not themselves turned into calls of
// the functions they define.

#include <windows.h>

#include <cstddef>

#include "patch/ExitCode.h"

extern "C" {

void* memcpy(void* destination, const void* source, std::size_t count) {
    auto* to = static_cast<unsigned char*>(destination);
    const auto* from = static_cast<const unsigned char*>(source);
    while (count-- > 0) {
        *to++ = *from++;
    }
    return destination;
}

void* memmove(void* destination, const void* source, std::size_t count) {
    auto* to = static_cast<unsigned char*>(destination);
    const auto* from = static_cast<const unsigned char*>(source);
    if (to < from) {
        while (count-- > 0) {
            *to++ = *from++;
        }
    } else {
        while (count-- > 0) {
            to[count] = from[count];
        }
    }
    return destination;
}

void* memset(void* destination, int value, std::size_t count) {
    auto* to = static_cast<unsigned char*>(destination);
    while (count-- > 0) {
        *to++ = static_cast<unsigned char>(value);
    }
    return destination;
}

int memcmp(const void* left, const void* right, std::size_t count) {
    const auto* a = static_cast<const unsigned char*>(left);
    const auto* b = static_cast<const unsigned char*>(right);
    for (; count > 0; --count, ++a, ++b) {
        if (*a != *b) {
            return *a < *b ? -1 : 1;
        }
    }
    return 0;
}

std::size_t strlen(const char* text) {
    std::size_t length = 0;
    while (text[length] != '\0') {
        ++length;
    }
    return length;
}

void __cxa_pure_virtual() {
    ExitProcess(static_cast<UINT>(patch::ExitCode::UnexpectedFailure));
}

}  // extern "C"
