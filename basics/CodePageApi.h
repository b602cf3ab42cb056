#pragma once

// The system's ANSI code page, in the shape of WideCharToMultiByte and
// MultiByteToWideChar with no flags. Velmora.exe binds these to kernel32
// (platform/Win32BasicsApi.cpp); the host tests to Windows-1252 with
// conversions that a test can make fail (tests/fakes/FakeBasicsApi.cpp).

namespace basics::api {

// The number of units written to `out`, or needed where `capacity` is 0; 0
// where the system refuses. Characters that the code page cannot hold become
// what the system substitutes by default.
int WideCharToMultiByte(const char16_t* text, int length, char* out, int capacity);
int MultiByteToWideChar(const char* bytes, int length, char16_t* out, int capacity);

}  // namespace basics::api
