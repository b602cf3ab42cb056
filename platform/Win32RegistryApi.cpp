// Binds the Registry module's calls to advapi32 in Velmora.exe.

#include <windows.h>

#include "registry/RegistryApi.h"

namespace registry::api {

namespace {

HKEY AsHkey(KeyHandle key) {
    return reinterpret_cast<HKEY>(key);
}

}  // namespace

KeyHandle LocalMachine() {
    return reinterpret_cast<KeyHandle>(HKEY_LOCAL_MACHINE);
}

Status RegOpenKeyExA(KeyHandle root, const char* subKey, std::uint32_t options,
                     std::uint32_t access, KeyHandle* result) {
    HKEY opened = nullptr;
    const LONG status = ::RegOpenKeyExA(AsHkey(root), subKey, options, access, &opened);
    // Windows documents nothing about the handle after a failed open, so the
    // 0 that the callers rely on is set here.
    *result = status == ERROR_SUCCESS ? reinterpret_cast<KeyHandle>(opened) : 0;
    return status;
}

Status RegQueryValueExA(KeyHandle key, const char* name, std::uint32_t* type, std::uint8_t* data,
                        std::uint32_t* size) {
    DWORD typeCode = type ? *type : 0;
    DWORD byteCount = size ? *size : 0;
    const LONG status = ::RegQueryValueExA(AsHkey(key), name, nullptr, type ? &typeCode : nullptr,
                                           data, size ? &byteCount : nullptr);
    if (type) {
        *type = typeCode;
    }
    if (size) {
        *size = byteCount;
    }
    return status;
}

Status RegSetValueExA(KeyHandle key, const char* name, std::int32_t type, const std::uint8_t* data,
                      std::uint32_t size) {
    return ::RegSetValueExA(AsHkey(key), name, 0, static_cast<DWORD>(type), data, size);
}

Status RegCloseKey(KeyHandle key) {
    return ::RegCloseKey(AsHkey(key));
}

}  // namespace registry::api
