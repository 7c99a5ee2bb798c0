// Starts a program with a command line whose tail is exactly the text of the
// environment variable TAV_TAIL (a Linux shell cannot hand Wine a command line
// without Wine quoting it), waits for its end and returns its exit code.
//
//   TAV_PROGRAM  the program's path (default C:\tav\Tavrino2.exe)
//   TAV_TAIL     the command-line tail, taken exactly
//   TAV_CWD      the working folder (default C:\)
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/win/raii.h"

namespace {

std::string Environment(const char* name, const char* fallback) {
    std::string value(32768, '\0');
    const DWORD n = ::GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
    if (n == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return fallback;
    value.resize(n < value.size() ? n : 0);
    return value;
}

}  // namespace

int main() {
    const std::string program = Environment("TAV_PROGRAM", "C:\\tav\\Tavrino2.exe");
    const std::string tail = Environment("TAV_TAIL", "");
    const std::string cwd = Environment("TAV_CWD", "C:\\");
    std::string line = "\"" + program + "\" " + tail;

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          cwd.c_str(), &si, &pi)) {
        std::fprintf(stderr, "tavrun: cannot start %s (error %lu)\n", program.c_str(),
                     static_cast<unsigned long>(::GetLastError()));
        return 127;
    }
    const tav::UniqueHandle thread(pi.hThread), process(pi.hProcess);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}
