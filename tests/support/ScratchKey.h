#pragma once

// A registry key of the test's own, created empty and removed at the end, with
// a way to store and fetch values as exact bytes. In the host build it lives in
// the in-memory registry; in the Windows build it is a real key, so that the
// same cases check the real advapi32.

#include <optional>

#include "registry/RegistryApi.h"
#include "tests/support/StoredBytes.h"

class ScratchKey {
public:
    ScratchKey();
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    // Opened with the access that the program's own opens ask for.
    registry::api::KeyHandle Handle() const { return handle_; }

    // Stores exactly `stored.bytes`: no terminator is added to a text.
    void Store(const char* name, const StoredBytes& stored);
    std::optional<StoredBytes> Fetch(const char* name) const;

private:
    registry::api::KeyHandle handle_ = 0;
};
