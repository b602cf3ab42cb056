// Binds the Registry module's calls to the in-memory registry in the host build.

#include "registry/RegistryApi.h"

#include "tests/fakes/FakeRegistry.h"

namespace registry::api {

using fake::FakeRegistry;

KeyHandle LocalMachine() {
    return FakeRegistry::kLocalMachine;
}

Status RegOpenKeyExA(KeyHandle root, const char* subKey, std::uint32_t options,
                     std::uint32_t access, KeyHandle* result) {
    return FakeRegistry::Instance().Open(root, subKey, options, access, result);
}

Status RegQueryValueExA(KeyHandle key, const char* name, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* size) {
    return FakeRegistry::Instance().Query(key, name, type, data, size);
}

Status RegSetValueExA(KeyHandle key, const char* name, std::int32_t type, const std::uint8_t* data,
                      std::uint32_t size) {
    return FakeRegistry::Instance().Set(key, name, type, data, size);
}

Status RegCloseKey(KeyHandle key) {
    return FakeRegistry::Instance().Close(key);
}

}  // namespace registry::api
