// An empty Win32 program built like the real ones: the yardstick of the start-up benchmark.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
