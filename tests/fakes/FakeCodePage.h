#pragma once

// An in-memory stand-in for the system's ANSI code page, behind the basics'
// code-page calls (FakeBasicsApi.cpp), for host tests: Windows-1252, as on a
// US or Western European Windows, converting as kernel32 does, and refusing
// the conversion that a test names.

#include <cstdint>
#include <optional>

#include "tests/fakes/Sequence.h"

namespace fake {

class FakeCodePage {
public:
    // The code page that the basics' calls reach in the host build.
    static FakeCodePage& Instance();

    // Forgets a scripted refusal.
    void Reset() { refusal_ = {}; }
    // The nth conversion from now, either way, is refused (0).
    void RefuseConversion(int nth) { refusal_.FailNth(nth); }
    // Where in the shared sequence the scripted refusal came, once it has.
    const std::optional<std::uint64_t>& Refused() const { return refusal_.Met(); }

    // As WideCharToMultiByte and MultiByteToWideChar answer: the length
    // needed where capacity is 0, 0 where the buffer is too small.
    int ToAnsi(const char16_t* text, int length, char* out, int capacity);
    int FromAnsi(const char* bytes, int length, char16_t* out, int capacity);

private:
    ScriptedFailure refusal_;
};

}  // namespace fake
