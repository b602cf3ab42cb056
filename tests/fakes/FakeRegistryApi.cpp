// Binds the Registry module's calls to the in-memory registry in the host build.

#include "registry/RegistryApi.h"

#include <cstdlib>

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

int WideCharToMultiByte(const char16_t* text, int length, char* out, int capacity) {
    return FakeRegistry::Instance().WideCharToMultiByte(text, length, out, capacity);
}

int MultiByteToWideChar(const char* bytes, int length, char16_t* out, int capacity) {
    return FakeRegistry::Instance().MultiByteToWideChar(bytes, length, out, capacity);
}

void* HeapAlloc(std::size_t bytes) {
    return FakeRegistry::Instance().HeapAlloc(bytes);
}

void HeapFree(void* memory) {
    std::free(memory);
}

}  // namespace registry::api
