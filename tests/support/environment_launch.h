// Starting the main program with an environment of the test's making, as a
// front end (or the system) may start it: variables left out or set to other
// values than this process has.
#pragma once

#include <windows.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/uia/uia.h"

namespace systest {

// Variable name -> new value; nothing: the variable is left out.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

// This process's environment with `changes` made, as a block for
// CreateProcessW (CREATE_UNICODE_ENVIRONMENT), sorted by name as the system
// keeps it.
inline std::wstring EnvironmentBlock(const EnvironmentChanges& changes) {
    auto wide = [](const std::string& s) { return std::wstring(s.begin(), s.end()); };  // ASCII names and paths
    auto upper = [](std::wstring s) {
        for (auto& c : s) c = static_cast<wchar_t>(::towupper(c));
        return s;
    };
    std::map<std::wstring, std::wstring> variables;  // upper-case name -> "Name=value"
    if (wchar_t* block = ::GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += ::lstrlenW(p) + 1) {
            const std::wstring entry = p;
            const auto equals = entry.find(L'=', 1);  // "=C:=C:\x" entries start with "="
            if (equals != std::wstring::npos) variables[upper(entry.substr(0, equals))] = entry;
        }
        ::FreeEnvironmentStringsW(block);
    }
    for (const auto& [name, value] : changes) {
        if (value) variables[upper(wide(name))] = wide(name) + L"=" + wide(*value);
        else variables.erase(upper(wide(name)));
    }
    std::wstring result;
    for (const auto& [key, entry] : variables) result += entry + L'\0';
    return result + L'\0';
}

// Starts Tavrino2 with the parameter string as its exact command-line tail,
// from `cwd`, with this process's environment changed by `changes`.
inline uia::Process RunMainWithEnvironment(const std::string& parameterString, const EnvironmentChanges& changes,
                                           const std::string& cwd = uia::FrontEndFolder()) {
    const std::string exe = uia::MainProgram();
    std::string line = "\"" + exe + "\" " + parameterString;
    std::wstring wideLine(line.begin(), line.end()), wideExe(exe.begin(), exe.end()), wideCwd(cwd.begin(), cwd.end());
    std::wstring environment = EnvironmentBlock(changes);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(wideExe.c_str(), wideLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                          environment.data(), wideCwd.c_str(), &si, &pi))
        return uia::Process::NotStarted(::GetLastError());
    const tav::UniqueHandle thread(pi.hThread);
    return uia::Process(pi.hProcess, pi.dwProcessId);
}

}  // namespace systest
