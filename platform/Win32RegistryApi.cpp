// Binds the Registry module's calls to advapi32, and its code page (CP_ACP)
// and memory (the process heap) to kernel32, in Velmora.exe.

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

// Flags 0 in both directions: Windows NT 4.0 refuses the newer ones, and a
// text read through the code page always converts back to the same bytes.
int WideCharToMultiByte(const char16_t* text, int length, char* out, int capacity) {
    return ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text), length, out,
                                 capacity, nullptr, nullptr);
}

int MultiByteToWideChar(const char* bytes, int length, char16_t* out, int capacity) {
    return ::MultiByteToWideChar(CP_ACP, 0, bytes, length, reinterpret_cast<wchar_t*>(out),
                                 capacity);
}

void* HeapAlloc(std::size_t bytes) {
    return ::HeapAlloc(GetProcessHeap(), 0, bytes);
}

void HeapFree(void* memory) {
    if (memory != nullptr) {
        ::HeapFree(GetProcessHeap(), 0, memory);
    }
}

}  // namespace registry::api
