// A program of the kit's kind that imports one call that Windows NT 4.0
// lacks (OpenThread, 2000 and later), for the kit's audit to find before it
// checks the kit itself.

#include <windows.h>

int main() {
    return OpenThread(SYNCHRONIZE, FALSE, GetCurrentThreadId()) != nullptr ? 0 : 1;
}
