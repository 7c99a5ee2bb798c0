// An empty program that imports what every windowed program imports (user32,
// gdi32, advapi32): the second yardstick of the start-up benchmark.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    if (commandLine && commandLine[0] == '~') {  // never true in the benchmark
        RegCloseKey(HKEY_CURRENT_USER);
        DeleteObject(GetStockObject(WHITE_BRUSH));
        return GetSystemMetrics(SM_CXSCREEN);
    }
    return 0;
}
