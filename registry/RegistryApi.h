#pragma once

// What the Registry module needs from Windows, in the shape of the Win32
// calls: the registry's value calls, the system's ANSI code page and the
// process heap. Velmora.exe binds them to advapi32 and kernel32
// (platform/Win32RegistryApi.cpp); the host tests to an in-memory registry
// (tests/fakes/FakeRegistryApi.cpp), so that the same registry and patch code
// runs in unit tests.

#include <cstddef>
#include <cstdint>

namespace registry::api {

// A Win32 registry key handle (HKEY); 0 means no key.
using KeyHandle = std::uintptr_t;

// 0 for success, otherwise a Win32 error code (or the program's own -1).
using Status = std::int32_t;

// HKEY_LOCAL_MACHINE, under which every key of the program lies.
KeyHandle LocalMachine();

// All the key-specific rights (query value, set value, create subkey, enumerate
// subkeys, notify, create link): the access every open in the program asks for,
// also where it only reads.
inline constexpr std::uint32_t kKeySpecificAllAccess = 0x3F;
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;

inline constexpr std::int32_t kRegSz = 1;
inline constexpr std::int32_t kRegExpandSz = 2;
inline constexpr std::int32_t kRegBinary = 3;
inline constexpr std::int32_t kRegDword = 4;
inline constexpr std::int32_t kRegMultiSz = 7;

inline constexpr Status kErrorSuccess = 0;
inline constexpr Status kErrorFileNotFound = 2;
inline constexpr Status kErrorAccessDenied = 5;
inline constexpr Status kErrorInvalidHandle = 6;
inline constexpr Status kErrorNotEnoughMemory = 8;
inline constexpr Status kErrorInvalidParameter = 87;
inline constexpr Status kErrorMoreData = 234;
inline constexpr Status kErrorNoUnicodeTranslation = 1113;

// RegOpenKeyExA: on failure *result is set to 0, whatever the system leaves in
// its own handle.
Status RegOpenKeyExA(KeyHandle root, const char* subKey, std::uint32_t options,
                     std::uint32_t access, KeyHandle* result);

// RegQueryValueExA with the reserved argument left out. A null data asks only
// for the type and size.
Status RegQueryValueExA(KeyHandle key, const char* name, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* size);

// RegSetValueExA with the reserved argument left out. For a text the system
// looks at the byte just past `size`, so `data` must be followed by a NUL.
Status RegSetValueExA(KeyHandle key, const char* name, std::int32_t type, const std::uint8_t* data,
                      std::uint32_t size);

Status RegCloseKey(KeyHandle key);

// WideCharToMultiByte and MultiByteToWideChar in the system's ANSI code page,
// with no flags: the number of units written to `out`, or needed where
// `capacity` is 0; 0 where the system refuses. Characters that the code page
// cannot hold become what the system substitutes by default.
int WideCharToMultiByte(const char16_t* text, int length, char* out, int capacity);
int MultiByteToWideChar(const char* bytes, int length, char16_t* out, int capacity);

// Memory from the process heap (HeapAlloc, HeapFree): nullptr when there is none.
void* HeapAlloc(std::size_t bytes);
void HeapFree(void* memory);

}  // namespace registry::api
