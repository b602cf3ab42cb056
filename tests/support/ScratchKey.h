#pragma once

// A registry key of the test's own, created empty and removed at the end, with
// a way to store and fetch values as exact bytes. In the host build it lives in
// the in-memory registry; in the Windows build it is a real key, so that the
// same cases check the real advapi32.

#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

#include "registry/RegistryApi.h"

struct StoredBytes {
    std::int32_t type = 0;
    std::vector<std::uint8_t> bytes;
    bool operator==(const StoredBytes&) const = default;
};

std::ostream& operator<<(std::ostream& out, const StoredBytes& stored);

class ScratchKey {
public:
    ScratchKey();
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    // Opened with the access that the program's own opens ask for.
    platform::KeyHandle Handle() const { return handle_; }

    // Stores exactly `stored.bytes`: no terminator is added to a text.
    void Store(const char* name, const StoredBytes& stored);
    std::optional<StoredBytes> Fetch(const char* name) const;

private:
    platform::KeyHandle handle_ = 0;
};
