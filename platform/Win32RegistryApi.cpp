// Binds the Registry module's calls to advapi32 and the code page of the
// system (CP_ACP) in Velmora.exe.

#include <windows.h>

#include "registry/RegistryApi.h"

namespace registry::api {

namespace {

HKEY AsHkey(KeyHandle key) {
    return reinterpret_cast<HKEY>(key);
}

}  // namespace

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
std::string ToAnsi(std::u16string_view text) {
    if (text.empty()) {
        return {};
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int wideLength = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        throw CodePageError("The text cannot be converted to the system's code page.");
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, wide, wideLength, bytes.data(), length, nullptr, nullptr) !=
        length) {
        throw CodePageError("The text cannot be converted to the system's code page.");
    }
    return bytes;
}

std::u16string FromAnsi(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int byteCount = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), byteCount, nullptr, 0);
    if (length <= 0) {
        throw CodePageError("The text cannot be converted from the system's code page.");
    }
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    if (MultiByteToWideChar(CP_ACP, 0, bytes.data(), byteCount,
                            reinterpret_cast<wchar_t*>(text.data()), length) != length) {
        throw CodePageError("The text cannot be converted from the system's code page.");
    }
    return text;
}

}  // namespace registry::api
