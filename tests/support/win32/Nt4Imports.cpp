// Calls that the test programs' libraries make beyond the Win32 API of
// Windows NT 3.1, given here in the place of the DLLs' own, so that the test
// programs start on every Windows that Velmora does: GoogleTest's OpenThread
// (2000 and later), libstdc++'s _fstat64 (msvcrt of 2000 and later), and
// mingw-w64's GetSystemTimeAsFileTime (NT 3.5) and IsDBCSLeadByteEx, each
// made of NT 3.1's calls. Each is reached through its import pointer, which
// is defined here, so that the linker takes no import for it.

#include <windows.h>

#include <io.h>
#include <sys/stat.h>

namespace {

// GoogleTest opens only the thread that it runs on, to watch for its end:
// a duplicate of that thread's own handle does the same on NT 3.1 and
// later. Another thread is opened by the system's call, where there is one.
HANDLE WINAPI OpenThreadAnywhere(DWORD access, BOOL inherit, DWORD threadId) {
    if (threadId == GetCurrentThreadId()) {
        HANDLE thread = nullptr;
        return DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(),
                               &thread, access, inherit, 0)
                   ? thread
                   : nullptr;
    }
    using OpenThreadCall = HANDLE(WINAPI*)(DWORD, BOOL, DWORD);
    const auto openThread = reinterpret_cast<OpenThreadCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "OpenThread")));
    return openThread != nullptr ? openThread(access, inherit, threadId) : nullptr;
}

// libstdc++ asks only whether a file is a regular one and how long it is,
// to tell how much is left to read: what GetFileType and GetFileSize say.
int __cdecl Fstat64FromTheHandle(int descriptor, struct _stat64* status) {
    const auto file = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    if (file == INVALID_HANDLE_VALUE || status == nullptr) {
        return -1;
    }
    *status = {};
    switch (GetFileType(file)) {
        case FILE_TYPE_DISK: {
            DWORD high = 0;
            const DWORD low = GetFileSize(file, &high);
            if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
                return -1;
            }
            status->st_mode = _S_IFREG;
            status->st_size = (static_cast<__int64>(high) << 32) | low;
            return 0;
        }
        case FILE_TYPE_CHAR:
            status->st_mode = _S_IFCHR;
            return 0;
        case FILE_TYPE_PIPE:
            status->st_mode = _S_IFIFO;
            return 0;
        default:
            return -1;
    }
}

// For gettimeofday: the time now, as NT 3.1 tells it.
VOID WINAPI SystemTimeAsFileTime(LPFILETIME time) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    SystemTimeToFileTime(&now, time);
}

// For mbrtowc: whether a byte begins a character of two in the code page,
// by the lead byte ranges that GetCPInfo gives.
BOOL WINAPI IsLeadByteOf(UINT codePage, BYTE byte) {
    CPINFO info;
    if (!GetCPInfo(codePage, &info)) {
        return FALSE;
    }
    for (int i = 0; i + 1 < MAX_LEADBYTES && (info.LeadByte[i] | info.LeadByte[i + 1]); i += 2) {
        if (byte >= info.LeadByte[i] && byte <= info.LeadByte[i + 1]) {
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace

extern "C" {
extern void* const openThreadImport __asm__("__imp__OpenThread@12");
void* const openThreadImport = reinterpret_cast<void*>(&OpenThreadAnywhere);
extern void* const fstat64Import __asm__("__imp___fstat64");
void* const fstat64Import = reinterpret_cast<void*>(&Fstat64FromTheHandle);
extern void* const fileTimeImport __asm__("__imp__GetSystemTimeAsFileTime@4");
void* const fileTimeImport = reinterpret_cast<void*>(&SystemTimeAsFileTime);
extern void* const leadByteImport __asm__("__imp__IsDBCSLeadByteEx@8");
void* const leadByteImport = reinterpret_cast<void*>(&IsLeadByteOf);
}
