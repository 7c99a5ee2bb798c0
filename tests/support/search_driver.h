// Drives the "s" command as a front end and a person do: trees of files on the
// test drive D:, the answer in the result file, and the list-mode window
// (its controls, its count, and what its list shows on the screen).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/win/raii.h"
#include "tests/support/display.h"
#include "tests/support/system_test.h"

namespace systest {

enum SearchControl { kFoundList = 1001, kSearchButton = 1002, kDriveList = 1003, kHintLabel = 1004 };

// The "Search" section as "Result|File" once both are written; "<none>" when
// the program ends without it.
inline std::string WaitForSearchAnswer(const uia::Process& p) {
    std::optional<IniEntries> s;
    const auto answered = [&] { return (s = ResultSection("Search")) && s->count("Result") && s->count("File"); };
    uia::WaitUntil([&] { return answered() || !p.Running(); }, uia::Ms{20000});
    return answered() ? s->at("Result") + "|" + s->at("File") : "<none>";
}

inline void MakeFile(const std::string& path) {
    ASSERT_TRUE(uia::MakeFolders(path.substr(0, path.find_last_of('\\')))) << path;
    ASSERT_TRUE(uia::WriteFileBytes(path, "x")) << path;
}

inline void MakeTree(const std::string& root, int folders, int filesPerFolder, const std::string& ext) {
    for (int f = 0; f < folders; ++f)
        for (int i = 0; i < filesPerFolder; ++i)
            MakeFile(root + "\\ordner" + std::to_string(f) + "\\datei" + std::to_string(i) + ext);
}

// Empties a folder of any path length (through the "\\?\" form of the wide functions).
inline void EmptyFolder(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    tav::UniqueFindHandle find{::FindFirstFileW((folder + L"\\*").c_str(), &data)};
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileW(find.get(), &data))
        if (wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0) names.push_back(data.cFileName);
    for (const auto& name : names) {
        const std::wstring path = folder + L"\\" + name;
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (::DeleteFileW(path.c_str())) continue;
        EmptyFolder(path);
        ::RemoveDirectoryW(path.c_str());
    }
}

// Every file under `folder`, depth-first in the platform's order.
inline std::vector<std::string> FilesInWalkOrder(const std::string& folder) {
    std::vector<std::string> files;
    WIN32_FIND_DATAA data{};
    tav::UniqueFindHandle find{::FindFirstFileA((folder + "*.*").c_str(), &data)};
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileA(find.get(), &data)) {
        const std::string name = data.cFileName;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + name);
        else if (name != "." && name != "..")
            for (auto& file : FilesInWalkOrder(folder + name + "\\")) files.push_back(std::move(file));
    }
    return files;
}

class SearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        EmptyFolder(L"\\\\?\\D:");  // D: is the test drive: each test sees only its own tree
        RemoveResultFile();
    }
};

// The program's window captioned for `pattern`, once it shows.
struct SearchWindow {
    SearchWindow(DWORD pid, const std::string& pattern)
        : window(uia::WaitForWindow({pid, "Suchen nach: \"" + pattern + "\"", "#32770"})),
          list(uia::FindControl(window, kFoundList)), button(uia::FindControl(window, kSearchButton)),
          label(uia::FindControl(window, kHintLabel)) {}
    HWND window, list, button, label;
};

// The search is over: the count is shown and the button reads "Suchen" again.
inline bool WaitForCount(const SearchWindow& w, uia::Ms timeout = uia::Ms{60000}) {
    return uia::WaitUntil(
        [&] {
            return uia::TextOf(w.button) == "Suchen" &&
                   uia::TextOf(w.label) == std::to_string(uia::ListItems(w.list).size()) + " Dateien gefunden";
        },
        timeout);
}

// What the list shows on the screen: a row with an entry has something drawn
// on it (a pixel unlike the list's background), the rows below are empty.
inline bool RowsDrawn(HWND list, std::size_t entries) {
    RECT client{};
    ::GetClientRect(list, &client);
    ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const int rowHeight = static_cast<int>(::SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    if (rowHeight <= 0 || ::SendMessageA(list, LB_GETTOPINDEX, 0, 0) != 0) return false;
    const ScreenArea shown(client);
    const COLORREF background = ::GetSysColor(COLOR_WINDOW);
    for (int row = 0; (row + 1) * rowHeight <= shown.Height(); ++row) {
        bool drawn = false;
        for (int y = row * rowHeight; y < (row + 1) * rowHeight && !drawn; ++y)
            for (int x = 0; x < shown.Width() && !drawn; ++x) drawn = shown.At(x, y) != background;
        if (drawn != (static_cast<std::size_t>(row) < entries)) return false;
    }
    return true;
}

}  // namespace systest
