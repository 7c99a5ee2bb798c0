// Starting a program as a Unicode front end does: CreateProcessW with a wide
// command line, whose tail the program also sees in its ANSI copy (where the
// code page cannot spell a character, with a look-alike).
#pragma once

#include <windows.h>

#include <string>

#include "common/win/ansi.h"
#include "common/win/raii.h"
#include "tests/uia/uia.h"

namespace systest {

// Starts `program` with the command line `"program" tail`, the tail exactly
// as given, from `cwd`.
inline uia::Process StartWide(const std::wstring& program, const std::wstring& tail,
                              const std::wstring& cwd) {
    std::wstring line = L"\"" + program + L"\" " + tail;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(),
                          &startup, &started))
        return uia::Process::NotStarted(::GetLastError());
    const tav::UniqueHandle thread(started.hThread);
    return uia::Process(started.hProcess, started.dwProcessId);
}

// Starts Tavrino2 with the wide parameter string, from the front end's folder.
inline uia::Process RunMainWide(const std::wstring& parameterString) {
    return StartWide(tav::WidenAnsi(uia::MainProgram()), parameterString, tav::WidenAnsi(uia::FrontEndFolder()));
}

}  // namespace systest
