#pragma once

// Values stored and fetched as exact bytes through advapi32, for tests that
// set up or inspect the registry around the program.

#include <windows.h>

#include <optional>

#include "tests/support/ScratchKey.h"

// Stores exactly `stored.bytes`: no terminator is added to a text.
void StoreBytes(HKEY key, const char* name, const StoredBytes& stored);

// The type and exact bytes stored, or nothing when there is no such value.
std::optional<StoredBytes> FetchBytes(HKEY key, const char* name);
