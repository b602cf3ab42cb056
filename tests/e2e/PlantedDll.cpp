// A DLL planted beside a copy of Velmora.exe under the name of one that
// Windows' own DLLs load by bare name once the program runs (uxtheme.dll).
// It does nothing but leave a mark beside itself when it is loaded, so that
// the end-to-end test can tell whether it was.

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH] = {};
        DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
        while (length > 0 && path[length - 1] != '\\') {
            --length;
        }
        for (const char* mark = "planted-dll-was-loaded"; *mark != '\0' && length + 1 < MAX_PATH;) {
            path[length++] = *mark++;
        }
        path[length] = '\0';
        const HANDLE mark = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (mark != INVALID_HANDLE_VALUE) {
            CloseHandle(mark);
        }
    }
    return TRUE;
}
