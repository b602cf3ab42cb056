#pragma once

// What the Registry module needs from Windows: the registry's four calls, in
// the shape of the Win32 calls. Velmora.exe binds them to advapi32
// (platform/Win32RegistryApi.cpp); the host tests to an in-memory registry
// (tests/fakes/FakeRegistryApi.cpp), so that the same registry and patch code
// runs in unit tests.

#include <cstdint>

#include "basics/Status.h"

namespace registry::api {

// A Win32 registry key handle (HKEY); 0 means no key.
using KeyHandle = std::uintptr_t;

// 0 for success, otherwise a Win32 error code (or the module's own -1).
using basics::Status;

// HKEY_LOCAL_MACHINE, under which every key of the program lies.
KeyHandle LocalMachine();

// All the key-specific rights (query value, set value, create subkey, enumerate
// subkeys, notify, create link): the access every open in the program asks for,
// also where it only reads. Chosen here, once, for every open, and why: a
// registry without security, as on Windows 9x, grants any access, so a
// program made for it asks for all of it; Velmora keeps that, and with it
// one outcome for a user who may not write under HKEY_LOCAL_MACHINE: every
// open fails, so step 1 already reports "Cannot access system registry."
// and nothing is ever half-written. The cost is that such a user cannot even
// read the values: the start-up check finds neither, so the question is not
// asked, and the message says access where rights to write are missing.
inline constexpr std::uint32_t kKeySpecificAllAccess = 0x3F;

// The registry types that the program reads and writes.
inline constexpr std::int32_t kRegSz = 1;
inline constexpr std::int32_t kRegBinary = 3;
inline constexpr std::int32_t kRegDword = 4;

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

}  // namespace registry::api
