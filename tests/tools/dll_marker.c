/* A DLL that only leaves a mark: loaded into a process, it writes the file
   "C:\dll-marks\<its own file name> in <the program's file name>" holding its
   own path. The system tests plant it under the names of system DLLs where no
   DLL of the programs may come from. It imports nothing but kernel32, and
   nothing of the C runtime, so that it loads under any of those names. */
#include <windows.h>

static void Append(wchar_t* to, int* n, int size, const wchar_t* from) {
    while (*from && *n < size - 1) to[(*n)++] = *from++;
    to[*n] = 0;
}

static const wchar_t* BaseName(const wchar_t* path) {
    const wchar_t* base = path;
    for (; *path; ++path)
        if (*path == L'\\') base = path + 1;
    return base;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
    wchar_t dll[MAX_PATH + 1], program[MAX_PATH + 1], mark[3 * MAX_PATH];
    int n = 0;
    DWORD written = 0;
    HANDLE file;
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    dll[0] = program[0] = 0;
    GetModuleFileNameW(self, dll, MAX_PATH);
    GetModuleFileNameW(NULL, program, MAX_PATH);
    CreateDirectoryW(L"C:\\dll-marks", NULL);
    Append(mark, &n, 3 * MAX_PATH, L"C:\\dll-marks\\");
    Append(mark, &n, 3 * MAX_PATH, BaseName(dll));
    Append(mark, &n, 3 * MAX_PATH, L" in ");
    Append(mark, &n, 3 * MAX_PATH, BaseName(program));
    file = CreateFileW(mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, dll, (DWORD)(lstrlenW(dll) * sizeof(wchar_t)), &written, NULL);
        CloseHandle(file);
    }
    return TRUE;
}
