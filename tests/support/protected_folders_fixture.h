// The world of the protected-folder tests: sentinel files in every protected
// folder, the special folders' places, folders to delete, the uninstaller run
// by hand, and the environment changes some cases need.
#pragma once

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/support/fixtures.h"
#include "tests/support/system_test.h"
#include "tests/support/uninstaller_session.h"

namespace systest {

inline std::string ShellFolder(int csidl) {
    char buffer[MAX_PATH] = {};
    return ::SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_DONT_VERIFY, nullptr, 0, buffer) == S_OK
               ? buffer : "";
}

// A known folder's place ("" when the platform names none).
inline std::string KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::string result;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)))
        for (const wchar_t* p = path; *p; ++p) result += static_cast<char>(*p);  // ASCII in the test prefix
    ::CoTaskMemFree(path);
    return result;
}

// The folders people keep their things in, of the user and of all users, as
// the platform names them; and folders in the Windows folder.
inline std::vector<std::string> KeptFolders() {
    std::vector<std::string> folders;
    for (int csidl : {CSIDL_MYPICTURES, CSIDL_MYMUSIC, CSIDL_MYVIDEO, CSIDL_FAVORITES, CSIDL_COMMON_DESKTOPDIRECTORY,
                      CSIDL_COMMON_DOCUMENTS, CSIDL_COMMON_PICTURES, CSIDL_COMMON_MUSIC, CSIDL_COMMON_VIDEO})
        folders.push_back(ShellFolder(csidl));
    for (REFKNOWNFOLDERID id : {FOLDERID_Downloads, FOLDERID_SavedGames, FOLDERID_Links, FOLDERID_Contacts,
                                FOLDERID_SavedSearches})
        folders.push_back(KnownFolder(id));
    const std::string windows = ShellFolder(CSIDL_WINDOWS);
    folders.push_back(windows + "\\Fonts");
    folders.push_back(windows + "\\Temp");
    folders.push_back(windows + "\\system32\\drivers\\etc");
    return folders;
}

inline std::string ShortForm(const std::string& path) {
    char buffer[MAX_PATH] = {};
    const DWORD n = ::GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : path;
}

inline std::string Parent(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

inline std::string Join(const std::string& folder, const std::string& name) {
    return folder + (folder.back() == '\\' ? "" : "\\") + name;
}

// Folders of other people and of the system that no test prefix has by
// itself: another user's profile, the default profile, the recycle bins and
// system volume data of both drives. The 64-bit Program Files folders are
// named as 64-bit Windows places them (the 32-bit build is told only of the
// "(x86)" ones).
inline std::vector<std::string> OtherPeoplesAndSystemFolders() {
    const std::string profiles = Parent(ShellFolder(CSIDL_PROFILE));
    return {profiles + "\\Anna", profiles + "\\Default", "C:\\$Recycle.Bin", "D:\\$Recycle.Bin",
            "D:\\System Volume Information", "C:\\Program Files", "C:\\Program Files\\Common Files",
            "C:\\Program Files (x86)\\Common Files"};
}

// A file in every protected folder and in the links' targets.
class Sentinels {
public:
    Sentinels() {
        for (int csidl : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
                          CSIDL_COMMON_APPDATA, CSIDL_PROFILE, CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL,
                          CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_STARTMENU, CSIDL_PROGRAMS,
                          CSIDL_STARTUP, CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS,
                          CSIDL_COMMON_STARTUP, CSIDL_SENDTO})
            files_.push_back(Join(ShellFolder(csidl), "tav_sentinel.txt"));
        for (const auto& folder : KeptFolders()) files_.push_back(Join(folder, "tav_sentinel.txt"));
        // The temp folder itself, the front ends' working folders and the programs' folder.
        for (const std::string& folder : {uia::TempFolder(), std::string("D:\\Front End"), std::string("C:\\work"),
                                          uia::ProgramsFolder()})
            files_.push_back(Join(folder, "tav_sentinel.txt"));
        for (const char* folder : {"C:\\", "D:\\", "C:\\Gesendet"})
            files_.push_back(Join(folder, "tav_sentinel.txt"));
        for (const auto& folder : OtherPeoplesAndSystemFolders()) files_.push_back(Join(folder, "tav_sentinel.txt"));
        files_.push_back(Join(Parent(ShellFolder(CSIDL_PROFILE)), "tav_sentinel.txt"));
        for (const auto& f : files_) {
            uia::MakeFolders(Parent(f));
            EXPECT_TRUE(uia::WriteFileBytes(f, "bleibt")) << f;
        }
    }
    ~Sentinels() {
        for (const auto& f : files_) ::DeleteFileA(f.c_str());
    }
    // The sentinels that are gone.
    std::vector<std::string> Missing() const {
        std::vector<std::string> missing;
        for (const auto& f : files_)
            if (uia::ReadFileBytes(f) != "bleibt") missing.push_back(f);
        return missing;
    }

private:
    std::vector<std::string> files_;
};


// Runs the uninstaller on `folder` as a hand-made command line would, answers
// Yes, and returns what it showed.
inline Outcome RunUninstaller(const std::string& folder, const std::string& cwd) {
    uia::Process started = uia::StartCommandLine(
        uia::UninstallProgram(), "\"" + uia::UninstallProgram() + "\" " + folder, cwd);
    auto u = WaitForQuestion();
    if (!u) return {};
    return AnswerYesAndCollect(*u);
}

// The user's Desktop folder moved away for the scope: the platform then
// cannot name most special folders.
struct DesktopMissing {
    std::string desktop = ShellFolder(CSIDL_DESKTOPDIRECTORY);
    DesktopMissing() { EXPECT_TRUE(::MoveFileA(desktop.c_str(), (desktop + ".weg").c_str())); }
    ~DesktopMissing() { ::MoveFileA((desktop + ".weg").c_str(), desktop.c_str()); }
};

// A folder on C: exchanged, in one step, with a link to `target` (also on C:)
// the moment a program opens it, or opens `awaited`: the harness's helper
// (tests/wine/exchange_on_open.py) watches it from Linux. Undo() (or the
// end of the scope) removes the link and puts the real folder back.
class FolderExchange {
public:
    FolderExchange(const std::string& folder, const std::string& target, const std::string& awaited = "")
        : id_("x" + std::to_string(++count_)) {
        EXPECT_TRUE(uia::MakeFolders(kControl));
        EXPECT_TRUE(uia::WriteFileBytes(Control("req"), OnDriveC(folder) + "\n" + OnDriveC(target) + "\n" +
                                                            OnDriveC(awaited.empty() ? folder : awaited) + "\n"));
        armed_ = uia::WaitForFile(Control("armed"), kBoxTimeout).has_value();
        EXPECT_TRUE(armed_) << "the exchange helper does not answer for " << folder;
    }
    ~FolderExchange() { Undo(); }
    FolderExchange(const FolderExchange&) = delete;
    FolderExchange& operator=(const FolderExchange&) = delete;

    bool Armed() const { return armed_; }
    // True when the exchange was made (the helper may have seen the open
    // only after the program had removed the folder: then it was not).
    bool Undo() {
        if (armed_ && !undone_) {
            EXPECT_TRUE(uia::WriteFileBytes(Control("undo"), "1"));
            undone_ = uia::WaitForFile(Control("undone"), kBoxTimeout).has_value();
            EXPECT_TRUE(undone_) << id_;
        }
        return uia::FileExists(Control("exchanged"));
    }

private:
    static inline const std::string kControl = "C:\\tav_exchange";
    static inline int count_ = 0;
    // "C:\a\b" as the helper reads it: "a/b".
    static std::string OnDriveC(std::string path) {
        EXPECT_EQ(path.rfind("C:\\", 0), 0u) << path;
        path.erase(0, 3);
        for (char& c : path)
            if (c == '\\') c = '/';
        return path;
    }
    std::string Control(const char* what) const { return kControl + "\\" + id_ + "." + what; }

    std::string id_;
    bool armed_ = false;
    bool undone_ = false;
};

// TMP and TEMP of this process, passed on to the programs it starts.
struct ScopedTemp {
    std::string old = uia::TempFolder();
    explicit ScopedTemp(const std::string& value) { Set(value); }
    ~ScopedTemp() { Set(old); }
    static void Set(const std::string& v) {
        for (const char* name : {"TMP", "TEMP"}) ::SetEnvironmentVariableA(name, v.c_str());
    }
};

}  // namespace systest
