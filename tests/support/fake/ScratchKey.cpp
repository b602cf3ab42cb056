#include "tests/support/ScratchKey.h"

#include "tests/fakes/FakeRegistry.h"

using platform::fake::FakeRegistry;

namespace {
constexpr const char* kScratchPath = "SOFTWARE\\Velmora Tests";
}

ScratchKey::ScratchKey() {
    FakeRegistry::Instance().Reset();
    FakeRegistry::Instance().CreateKey(kScratchPath);
    platform::RegOpenKeyExA(platform::kHkeyLocalMachine, kScratchPath, 0,
                            platform::kKeySpecificAllAccess, &handle_);
}

ScratchKey::~ScratchKey() {
    FakeRegistry::Instance().Reset();
}

void ScratchKey::Store(const char* name, const StoredBytes& stored) {
    FakeRegistry::Instance().Put(kScratchPath, name, stored.type, stored.bytes);
}

std::optional<StoredBytes> ScratchKey::Fetch(const char* name) const {
    const auto value = FakeRegistry::Instance().Get(kScratchPath, name);
    if (!value) {
        return std::nullopt;
    }
    return StoredBytes{value->type, value->bytes};
}
