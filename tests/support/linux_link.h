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
    return detail::RunUnixProgram(L"\\\\?\\unix\\bin\\ln",
                                  tav::WidenAnsi("ln -s \"" + relativeTarget + "\" \"" + name + "\""), folder,
                                  [&] { return detail::EntryListed(folder + "\\" + name); });
}

// Removes the link `folder\name` itself (a Windows delete would remove what it leads to).
// Nothing is started when nothing is listed there (the program under test may
// have replaced the link and deleted what replaced it): the Unix program is
// not waited for, only its effect, and a late one would remove the next link
// made at that name.
inline bool RemoveLinuxLink(const std::string& folder, const std::string& name) {
    if (!detail::EntryListed(folder + "\\" + name)) return true;
    return detail::RunUnixProgram(L"\\\\?\\unix\\bin\\rm", tav::WidenAnsi("rm -f \"" + name + "\""), folder,
                                  [&] { return !detail::EntryListed(folder + "\\" + name); });
}

// A link at the absolute path `link` that leads to `target`, both on drive C,
// for the life of the object.
class LinkAtName {
public:
    LinkAtName(const std::string& link, const std::string& target)
        : folder_(link.substr(0, link.find_last_of('\\'))), name_(link.substr(link.find_last_of('\\') + 1)) {
        made_ = MakeLinuxLink(folder_, name_, TargetFromFolder(folder_, target));
        EXPECT_TRUE(made_) << "no link at " << link;
    }
    ~LinkAtName() {
        if (made_) EXPECT_TRUE(RemoveLinuxLink(folder_, name_)) << folder_ << "\\" << name_;
    }
    LinkAtName(const LinkAtName&) = delete;
    LinkAtName& operator=(const LinkAtName&) = delete;

    bool Made() const { return made_; }

private:
    // `target` as the link's folder sees it: up to C:\, then down to it.
    static std::string TargetFromFolder(const std::string& folder, const std::string& target) {
        const std::string below = folder.substr(3);  // after "C:\"
        std::string relative = below.empty() ? "" : "../";
        for (char c : below)
            if (c == '\\') relative += "../";
        for (char c : target.substr(3)) relative += c == '\\' ? '/' : c;
        return relative;
    }

    std::string folder_, name_;
    bool made_ = false;
};

}  // namespace systest
