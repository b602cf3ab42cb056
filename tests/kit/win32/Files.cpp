#include "tests/kit/win32/Files.h"

#include <windows.h>

namespace kit::win32 {

bool KitFolder(Buffer& folder) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    while (length > 0 && path[length - 1] != '\\') {
        --length;
    }
    folder.Clear();
    return !folder.Append(std::string_view(path, length)).Failed() && length > 0;
}

bool ReadWholeFile(const char* path, Buffer& out) {
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    out.Clear();
    char chunk[2048];
    DWORD read = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk, sizeof chunk, &read, nullptr) != FALSE) && read > 0) {
        out.Append(std::string_view(chunk, read));
    }
    CloseHandle(file);
    return ok && !out.Failed();
}

bool WriteWholeFile(const char* path, std::string_view bytes) {
    Buffer temporary;
    temporary.Append(path).Append(".new");
    if (temporary.Failed()) {
        return false;
    }
    const HANDLE file = CreateFileA(temporary.CStr(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (!ok) {
        DeleteFileA(temporary.CStr());
        return false;
    }
    DeleteFileA(path);
    return MoveFileA(temporary.CStr(), path) != FALSE;
}

bool FileExists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace kit::win32
