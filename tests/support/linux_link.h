// Linux symbolic links made from inside a test prefix, as someone on the
// machine might make them (Wine's CreateSymbolicLink makes nothing): /bin/ln
// and /bin/rm, started through Wine's path for Unix programs. A link's
// target is relative to the link's folder and must stay inside the prefix.
#pragma once

#include <windows.h>

#include <string>

#include "common/win/ansi.h"
#include "common/win/raii.h"
#include "tests/uia/uia.h"

namespace systest {

namespace detail {

// Runs a Unix program from `folder` (its working folder) and waits until
// `done` holds.
inline bool RunUnixProgram(const wchar_t* program, std::wstring commandLine, const std::string& folder,
                           const std::function<bool()>& done) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          tav::WidenAnsi(folder).c_str(), &startup, &started))
        return false;
    const tav::UniqueHandle process(started.hProcess), thread(started.hThread);
    return uia::WaitUntil(done);
}

inline bool EntryListed(const std::string& path) {
    WIN32_FIND_DATAA found{};
    const tav::UniqueFindHandle find(::FindFirstFileA(path.c_str(), &found));
    return static_cast<bool>(find);
}

}  // namespace detail

// Makes `folder\name` a symbolic link to `relativeTarget` ("../Daten/a.txt").
inline bool MakeLinuxLink(const std::string& folder, const std::string& name, const std::string& relativeTarget) {
    return detail::RunUnixProgram(L"\\\\?\\unix\\bin\\ln", tav::WidenAnsi("ln -s " + relativeTarget + " " + name),
                                  folder, [&] { return detail::EntryListed(folder + "\\" + name); });
}

// Removes the link `folder\name` itself (a Windows delete would remove what it leads to).
inline bool RemoveLinuxLink(const std::string& folder, const std::string& name) {
    return detail::RunUnixProgram(L"\\\\?\\unix\\bin\\rm", tav::WidenAnsi("rm -f " + name), folder,
                                  [&] { return !detail::EntryListed(folder + "\\" + name); });
}

}  // namespace systest
