// The registry tests' scratch key in the host build: a key of the in-memory
// registry, which starts empty for each test.

#include "tests/support/ScratchKey.h"

#include "tests/fakes/FakeRegistry.h"

using fake::FakeRegistry;

namespace {
constexpr const char* kScratchPath = "SOFTWARE\\Velmora Tests";
}

ScratchKey::ScratchKey() {
    FakeRegistry::Instance().Reset();
    FakeRegistry::Instance().CreateKey(kScratchPath);
    registry::api::RegOpenKeyExA(registry::api::LocalMachine(), kScratchPath, 0,
                                 registry::api::kKeySpecificAllAccess, &handle_);
}

ScratchKey::~ScratchKey() {
    FakeRegistry::Instance().Reset();
}

void ScratchKey::Store(const char* name, const StoredBytes& stored) {
    FakeRegistry::Instance().Put(kScratchPath, name, stored.type, stored.bytes);
}

std::optional<StoredBytes> ScratchKey::Fetch(const char* name) const {
    return FakeRegistry::Instance().Get(kScratchPath, name);
}
