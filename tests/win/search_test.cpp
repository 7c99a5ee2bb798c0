// The "s" command seen from the front end (silent and list mode, driven
// through the window like a person), and the search object called directly.
#include <windows.h>

#include <algorithm>
#include <memory>

#include "common/win/raii.h"
#include "main/search/file_search.h"
#include "main/search/search_logic.h"
#include "main/run/run_state.h"
#include "tests/support/display.h"
#include "tests/support/system_test.h"

using namespace systest;

namespace {

enum SearchControl { kFoundList = 1001, kSearchButton = 1002, kDriveList = 1003, kHintLabel = 1004 };

struct SearchAnswer {
    std::string result, file;
};

// Both values of the result file's "Search" section, once both are written.
std::optional<SearchAnswer> WaitForSearchAnswer() {
    std::optional<SearchAnswer> answer;
    uia::WaitUntil(
        [&] {
            for (const auto& section : ParseIni(uia::ReadFileBytes(ResultFile()).value_or(""))) {
                std::optional<std::string> result, file;
                for (const auto& [key, value] : section.entries) (key == "Result" ? result : file) = value;
                if (section.name == "Search" && result && file) answer = SearchAnswer{*result, *file};
            }
            return answer.has_value();
        },
        uia::Ms{20000});
    return answer;
}

void MakeFile(const std::string& path) {
    ASSERT_TRUE(uia::MakeFolders(path.substr(0, path.find_last_of('\\')))) << path;
    ASSERT_TRUE(uia::WriteFileBytes(path, "x")) << path;
}

// A file (with its folders) whose name may hold any character.
void MakeWideFile(const std::wstring& path) {
    for (auto slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1))
        ::CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    ASSERT_TRUE(static_cast<bool>(
        tav::UniqueFile(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr))));
}

void MakeTree(const std::string& root, int folders, int filesPerFolder, const std::string& ext) {
    for (int f = 0; f < folders; ++f) {
        const std::string folder = root + "\\ordner" + std::to_string(f) + "\\";
        ASSERT_TRUE(uia::MakeFolders(folder));
        for (int i = 0; i < filesPerFolder; ++i)
            ASSERT_TRUE(uia::WriteFileBytes(folder + "datei" + std::to_string(i) + ext, ""));
    }
}

// Empties a folder of any path length (through the "\\?\" form of the wide functions).
void EmptyFolder(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    if (tav::UniqueFindHandle find{::FindFirstFileW((folder + L"\\*").c_str(), &data)}) {
        do {
            if (wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0)
                names.push_back(data.cFileName);
        } while (::FindNextFileW(find.get(), &data));
    }
    for (const auto& name : names) {
        const std::wstring path = folder + L"\\" + name;
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (::DeleteFileW(path.c_str())) continue;
        EmptyFolder(path);
        ::RemoveDirectoryW(path.c_str());
    }
}

// Every file under `folder`, depth-first in the platform's order.
void FilesInWalkOrder(const std::string& folder, std::vector<std::string>& files) {
    WIN32_FIND_DATAA data{};
    tav::UniqueFindHandle find{::FindFirstFileA((folder + "*.*").c_str(), &data)};
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileA(find.get(), &data)) {
        const std::string name = data.cFileName;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + name);
        else if (name != "." && name != "..") FilesInWalkOrder(folder + name + "\\", files);
    }
}

// The first file under `folder`, depth-first in the platform's order.
std::string FirstFileInWalkOrder(const std::string& folder) {
    WIN32_FIND_DATAA data{};
    tav::UniqueFindHandle find{::FindFirstFileA((folder + "*.*").c_str(), &data)};
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileA(find.get(), &data)) {
        const std::string name = data.cFileName;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return folder + name;
        if (name == "." || name == "..") continue;
        if (auto hit = FirstFileInWalkOrder(folder + name + "\\"); !hit.empty()) return hit;
    }
    return "";
}

class SearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        EmptyFolder(L"\\\\?\\D:");  // D: is the test drive: each test sees only its own tree
        ::DeleteFileA(ResultFile().c_str());
    }
};

// --- silent mode and the answers without a search --------------------------------

TEST_F(SearchTest, SilentAnswersTheFirstFindOrZeroAndTheTrimmedPattern) {
    for (const char* path : {"D:\\Programme\\Demo\\start.exe", "D:\\Programme\\Demo\\start.txt", "D:\\DATEN\\a.b.c",
                             "D:\\V1.0\\liesmich", "D:\\setup.exe", "D:\\q\\b\\eins.q", "D:\\q\\a\\zwei.q",
                             "D:\\q\\a\\tief\\drei.q", "D:\\q\\vier.q", "D:\\q\\c\\d\\fuenf.q"})
        MakeFile(path);
    const std::string firstQ = FirstFileInWalkOrder("D:\\q\\");  // the only ".q" files
    const auto slash = firstQ.find_last_of('\\');
    const struct {
        std::string parameters, result, file;
    } cases[] = {
        {"s,D:,start.exe", "D:\\Programme\\Demo\\", "start.exe"},
        {"s, d: ,a.b.?", "D:\\DATEN\\", "a.b.c"},
        {"s,D:,LIESMICH", "D:\\V1.0\\", "liesmich."},  // no extension: a full stop; case does not matter
        {"s,D:,*.q", firstQ.substr(0, slash + 1), firstQ.substr(slash + 1)},
        {"s,D:,  nichts.xyz  ", "0", "nichts.xyz"},
        {"s,D:,setup.exe,list,x", "D:\\", "setup.exe"},  // five elements: silent too
    };
    for (const auto& c : cases) {
        uia::Process p = RunMain(c.parameters);
        const auto a = WaitForSearchAnswer();
        ASSERT_TRUE(a) << c.parameters;
        EXPECT_EQ(a->result, c.result) << c.parameters;
        EXPECT_EQ(a->file, c.file) << c.parameters;
        EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{0})) << c.parameters;
        EXPECT_EQ(p.WaitForExit(uia::Ms{20000}), 0u) << c.parameters;
        EXPECT_FALSE(uia::FileExists(ResultFile())) << c.parameters << ": handed over";
    }
}

TEST_F(SearchTest, WithoutASearchTheAnswerIsImmediateOrNone) {
    MakeFile("D:\\setup.exe");
    const char* const zero = "[Search]\r\nResult=0\r\nFile=\r\n";
    const struct {
        const char* parameters;
        const char* bytes;  // the result file afterwards; nullptr: none
    } cases[] = {
        // Not a fixed drive: "0" with an empty File at once, no hand-over.
        {"s,E:,setup.exe", zero}, {"s,ALL,setup.exe", zero}, {"s,C:\\,setup.exe", zero},
        // Too few elements, or four not ending in "list": nothing searched, nothing written.
        {"s,D:", nullptr}, {"s,all", nullptr}, {"s,D:,setup.exe,List", nullptr},
    };
    for (const auto& c : cases) {
        ::DeleteFileA(ResultFile().c_str());
        uia::Process p = RunMain(c.parameters);
        EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{300})) << c.parameters;
        EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u) << c.parameters;
        EXPECT_EQ(uia::ReadFileBytes(ResultFile()).value_or("none"), c.bytes ? c.bytes : "none") << c.parameters;
    }
}

// --- list mode -----------------------------------------------------------------------

struct SearchWindow {
    HWND window = nullptr, list = nullptr, button = nullptr, label = nullptr;
};

SearchWindow WaitForSearchWindow(DWORD pid, const std::string& pattern) {
    SearchWindow w;
    w.window = uia::WaitForWindow({pid, "Suchen nach: \"" + pattern + "\"", "#32770"});
    if (!w.window) return w;
    w.list = uia::FindControl(w.window, kFoundList);
    w.button = uia::FindControl(w.window, kSearchButton);
    w.label = uia::FindControl(w.window, kHintLabel);
    return w;
}

// The search is over: the count is shown and the button reads "Suchen" again.
bool WaitForCount(const SearchWindow& w, uia::Ms timeout = uia::Ms{60000}) {
    return uia::WaitUntil(
        [&] {
            return uia::TextOf(w.button) == "Suchen" &&
                   uia::TextOf(w.label) == std::to_string(uia::ListItems(w.list).size()) + " Dateien gefunden";
        },
        timeout);
}

// Names the ANSI code page cannot spell are passed over: a file, and a folder
// with everything in it, would be reported under a name that names nothing.
TEST_F(SearchTest, ListModeListsEveryFindAndADoubleClickReportsIt) {
    for (const char* path : {"D:\\Vortrag.PPT", "D:\\Kurs\\a.pps", "D:\\Kurs\\b.doc", "D:\\X.PPT\\c.txt"})
        MakeFile(path);
    for (const wchar_t* path : {L"D:\\\u0141\u00f3d\u017a.ppt",          // Łódź.ppt
                                L"D:\\Kurs\\\u0142za.pps",                // łza.pps: "l" would be a best fit
                                L"D:\\\u0141\u00f3d\u017a\\Vortrag.ppt",  // in the folder Łódź
                                L"D:\\Gr\u00f6\u00dfe.pps"})                // Größe.pps: code page 1252
        MakeWideFile(path);
    uia::Process p = RunMain("s,D:,*.ppt;*.pps,list");
    const SearchWindow w = WaitForSearchWindow(p.Pid(), "*.ppt;*.pps");
    ASSERT_NE(w.window, nullptr);
    EXPECT_TRUE(uia::ListItems(w.list).empty()) << "nothing is searched before the button";
    EXPECT_FALSE(uia::IsVisible(uia::FindControl(w.window, kDriveList)));

    uia::Click(w.button);
    ASSERT_TRUE(WaitForCount(w));
    auto items = uia::ListItems(w.list);
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, (std::vector<std::string>{"D:\\Gr\xf6\xdf" "e.pps", "D:\\Kurs\\a.pps", "D:\\Vortrag.PPT"}));
    uia::SaveScreenshot(ScreenshotPath("search-list"));
    EXPECT_FALSE(uia::FileExists(ResultFile()));

    ASSERT_TRUE(uia::DoubleClickListItem(w.list, "D:\\Kurs\\a.pps"));
    const auto a = WaitForSearchAnswer();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->result, "D:\\Kurs\\");
    EXPECT_EQ(a->file, "a.pps");
    EXPECT_TRUE(uia::WaitForWindowGone({p.Pid(), "", "#32770"}, uia::Ms{1500})) << "hidden before the hand-over";
    EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
}

TEST_F(SearchTest, ListModeWaysOutWithoutAChoiceAnswerZero) {
    MakeFile("D:\\setup.exe");
    enum Way { kNoFind, kCloseBox, kDoubleClickWithoutSelection };
    const struct {
        const char* pattern;
        Way way;
        const char* file;
    } cases[] = {
        {" setup.EXE ", kNoFind, "setup.EXE"},  // blanks count: no find ends the program
        {"setup.exe", kCloseBox, "setup.exe"},
        {"setup.exe", kDoubleClickWithoutSelection, "setup.exe"},
    };
    for (const auto& c : cases) {
        ::DeleteFileA(ResultFile().c_str());
        uia::Process p = RunMain(std::string("s,D:,") + c.pattern + ",list");
        const SearchWindow w = WaitForSearchWindow(p.Pid(), c.pattern);
        ASSERT_NE(w.window, nullptr) << c.way;
        uia::Click(w.button);
        if (c.way != kNoFind) {
            ASSERT_TRUE(WaitForCount(w)) << c.way;
            EXPECT_EQ(uia::ListItems(w.list), std::vector<std::string>{"D:\\setup.exe"});
            if (c.way == kCloseBox) uia::CloseBox(w.window);
            else ::PostMessageA(w.window, WM_COMMAND, MAKEWPARAM(kFoundList, LBN_DBLCLK), reinterpret_cast<LPARAM>(w.list));
        }
        const auto a = WaitForSearchAnswer();
        ASSERT_TRUE(a) << c.way;
        EXPECT_EQ(a->result, "0") << c.way;
        EXPECT_EQ(a->file, c.file) << c.way;
        EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u) << c.way;
    }
}

// Finds appear in walk order while the walk runs; "Stop!" keeps them and the
// program running; a double-click during a walk takes the entry under the mouse.
TEST_F(SearchTest, ListModeFillsInWalkOrderStopKeepsTheFindsAndADoubleClickTakesTheEntryUnderTheMouse) {
    MakeTree("D:\\gross", 40, 250, ".big");
    std::vector<std::string> walkOrder;
    FilesInWalkOrder("D:\\", walkOrder);
    ASSERT_EQ(walkOrder.size(), 10000u);
    uia::Process p = RunMain("s,D:,*.big,list");
    const SearchWindow w = WaitForSearchWindow(p.Pid(), "*.big");
    ASSERT_NE(w.window, nullptr);
    const auto listed = [&] { return ::SendMessageA(w.list, LB_GETCOUNT, 0, 0); };
    uia::Click(w.button);
    ASSERT_TRUE(uia::WaitUntil([&] { return listed() > 20; }, uia::Ms{20000}));
    EXPECT_EQ(uia::TextOf(w.button), "Stop!");
    uia::Click(w.button);
    ASSERT_TRUE(WaitForCount(w, uia::Ms{10000}));
    uia::SaveScreenshot(ScreenshotPath("search-list-stopped"));
    auto items = uia::ListItems(w.list);
    ASSERT_GT(items.size(), 0u);
    EXPECT_LT(items.size(), walkOrder.size()) << "the walk stopped early";
    EXPECT_TRUE(std::equal(items.begin(), items.end(), walkOrder.begin()));
    EXPECT_TRUE(p.Running());
    EXPECT_FALSE(uia::FileExists(ResultFile()));

    // Searching again clears the list and runs to its end.
    uia::Click(w.button);
    ASSERT_TRUE(uia::WaitUntil([&] { return uia::TextOf(w.label) == "10000 Dateien gefunden"; }, uia::Ms{120000}));
    EXPECT_EQ(uia::ListItems(w.list), walkOrder);

    // Once more, and a double-click on the third row while the walk runs.
    uia::Click(w.button);
    ASSERT_TRUE(uia::WaitUntil([&] { return uia::TextOf(w.button) == "Stop!" && listed() >= 3; }, uia::Ms{20000}));
    const LRESULT rowHeight = ::SendMessageA(w.list, LB_GETITEMHEIGHT, 0, 0);
    ASSERT_EQ(::SendMessageA(w.list, LB_GETTOPINDEX, 0, 0), 0);
    const RECT list = uia::WindowRectOnScreen(w.list);
    ::SetForegroundWindow(w.window);
    DoubleClickAt({list.left + 40, list.top + 2 + static_cast<LONG>(rowHeight) * 5 / 2});
    const auto a = WaitForSearchAnswer();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->result + a->file, walkOrder[2]);
    EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
}

// The whole instruction shows, and the button is never covered by the label,
// at 96 and 144 dots per inch and at every width the window can be given.
TEST_F(SearchTest, TheInstructionShowsWholeAndTheButtonStaysClearAtEverySize) {
    const std::string instruction = "Ein Doppelklick auf den gew\xfcnschten Listeneintrag \xfc" "bernimmt die Datei.";
    for (const int dpi : {96, 144}) {
        const DisplayDpi display(dpi);
        uia::Process p = RunMain("s,D:,nichts.xyz,list");
        const SearchWindow w = WaitForSearchWindow(p.Pid(), "nichts.xyz");
        ASSERT_NE(w.window, nullptr) << dpi;
        RECT client{};
        ::GetClientRect(w.window, &client);
        EXPECT_EQ(client.right, tav::TwipsToPixels(7950, dpi)) << "the design size at " << dpi;
        EXPECT_EQ(uia::TextOf(w.label), instruction);
        const auto font = GuiFontAt(dpi);
        EXPECT_EQ(TextCutOff(w.label, font.get(), true), "") << dpi;
        EXPECT_FALSE(Overlap(w.label, w.button)) << dpi;
        uia::SaveScreenshot(ScreenshotPath("search-window-" + std::to_string(dpi) + "dpi"));

        // Narrower and narrower, below the smallest size the window allows.
        const RECT outer = uia::WindowRectOnScreen(w.window);
        const int frame = (outer.right - outer.left) - client.right;
        for (const int width : {447, 400, 300, 150, 50}) {
            const int pixels = width * dpi / 96;
            ::SetWindowPos(w.window, nullptr, 0, 0, pixels + frame, outer.bottom - outer.top,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            ::GetClientRect(w.window, &client);
            EXPECT_GE(client.right, std::min(pixels, tav::TwipsToPixels(tav::kSearchMinWidth, dpi)) - 1)
                << width << " at " << dpi;
            EXPECT_TRUE(WithinClientArea(w.button, w.window)) << width << " at " << dpi;
            EXPECT_FALSE(Overlap(w.label, w.button)) << width << " at " << dpi;
            if (width == 300 &&
                ::RedrawWindow(w.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN))
                uia::SaveScreenshot(ScreenshotPath("search-window-narrow-" + std::to_string(dpi) + "dpi"));
        }
        uia::CloseBox(w.window);
        EXPECT_TRUE(WaitForSearchAnswer()) << dpi;
        EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u) << dpi;
        ::DeleteFileA(ResultFile().c_str());
    }
}

// "all": the fixed drives C: and D: in letter order, never the CD-ROM E:;
// hidden and system entries are searched, a folder the walk cannot open is
// skipped without a word, and a new search started inside a stopped one is safe.
TEST_F(SearchTest, AllSearchesFixedDrivesWithHiddenFilesAndSurvivesARestartInsideAStop) {
    const std::string scratch = ScratchFolder();
    MakeFile(scratch + "\\allprobe2.q");
    MakeFile("D:\\allprobe1.q");
    MakeFile("D:\\tief\\allprobe3.q");
    ::SetFileAttributesA("D:\\tief\\allprobe3.q", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ::SetFileAttributesA("D:\\tief", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    std::wstring deep = L"\\\\?\\D:\\lang";  // longer than the ANSI functions accept
    ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr));
    for (int i = 0; i < 6; ++i) {
        deep += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + i));
        ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr));
    }
    ASSERT_TRUE(static_cast<bool>(tav::UniqueFile(
        ::CreateFileW((deep + L"\\allprobe4.q").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr))));
    uia::WriteFileBytes("E:\\allprobe0.q", "x");  // when E: is writable, a find there would show

    uia::Process p = RunMain("s,all,allprobe*.q,list");
    const SearchWindow w = WaitForSearchWindow(p.Pid(), "allprobe*.q");
    ASSERT_NE(w.window, nullptr);
    EXPECT_EQ(uia::ListItems(uia::FindControl(w.window, kDriveList)), (std::vector<std::string>{"C:", "D:"}));
    uia::Click(w.button);
    ASSERT_TRUE(WaitForCount(w, uia::Ms{120000}));
    std::vector<std::string> items = uia::ListItems(w.list);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], scratch + "\\allprobe2.q");
    std::sort(items.begin() + 1, items.end());
    EXPECT_EQ(items[1], "D:\\allprobe1.q");
    EXPECT_EQ(items[2], "D:\\tief\\allprobe3.q");
    EXPECT_FALSE(uia::WaitForMessageBox(p.Pid(), uia::Ms{200}));

    // Stop at once and press again: the new search runs inside the old call,
    // which then goes on with its remaining drive under the same flag.
    uia::Click(w.button);
    ASSERT_TRUE(uia::WaitUntil([&] { return uia::TextOf(w.button) == "Stop!"; }));
    uia::Click(w.button);
    uia::Click(w.button);
    ASSERT_TRUE(WaitForCount(w, uia::Ms{120000}));
    for (const auto& item : uia::ListItems(w.list))
        EXPECT_TRUE(item == scratch + "\\allprobe2.q" || item == "D:\\allprobe1.q" || item == "D:\\tief\\allprobe3.q")
            << item;
    uia::CloseBox(w.window);
    const auto a = WaitForSearchAnswer();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->result, "0");
    EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
    ::DeleteFileA("E:\\allprobe0.q");
}

// --- the search object, called directly -------------------------------------------

// Folders are tested on their full path ending in "\\", files on their name alone.
TEST_F(SearchTest, ObjectReportsFoldersByFullPathAndFilesByName) {
    for (const char* path : {"D:\\Daten\\x.txt", "D:\\a\\DATEN\\y.txt", "D:\\a\\Datenbank\\z.txt", "D:\\Vortrag.PPT",
                             "D:\\X.PPT\\w.pps"})
        MakeFile(path);
    tav::State.SearchActive = true;
    std::vector<std::string> files, folders;
    auto s = tav::FileSearch::Create([&](std::string& folder, std::string& name) { files.push_back(folder + name); },
                                   [&](std::string& folder) { folders.push_back(folder); });
    s->SearchPattern("*\\DATEN\\;*.ppt;w.pps");
    s->IncludeSubfolders(true);
    std::string root = "D:";
    s->Search(root);
    EXPECT_EQ(root, "D:\\") << "the caller's folder gets its backslash";
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(files, (std::vector<std::string>{"D:\\Vortrag.PPT", "D:\\X.PPT\\w.pps"}));
    EXPECT_EQ(folders, (std::vector<std::string>{"D:\\Daten\\", "D:\\a\\DATEN\\"}));
}

TEST_F(SearchTest, ObjectStopsAtTheEntryItIsOnOnceTheFlagIsCleared) {
    MakeTree("D:\\b", 3, 5, ".q");
    tav::State.SearchActive = true;
    int files = 0;
    auto s = tav::FileSearch::Create([&](std::string&, std::string&) {
        ++files;
        tav::State.SearchActive = false;
    });
    s->SearchPattern("*.q");
    s->IncludeSubfolders(true);
    std::string root = "D:\\";
    s->Search(root);
    EXPECT_EQ(files, 1);
    EXPECT_LE(s->EntriesExamined(), 8u) << "each level examines at most the entry it is on";
}

TEST_F(SearchTest, ObjectSurvivesItsReleaseFromAHandler) {
    MakeTree("D:\\r", 4, 10, ".q");
    tav::State.SearchActive = true;
    std::shared_ptr<tav::FileSearch> owner;
    std::weak_ptr<tav::FileSearch> watch;
    int files = 0;
    bool aliveAfterRelease = true;
    owner = tav::FileSearch::Create([&](std::string&, std::string&) {
        ++files;
        owner.reset();  // the owner lets go in the middle of the walk
        aliveAfterRelease = aliveAfterRelease && !watch.expired();
    });
    watch = owner;
    owner->SearchPattern("*.q");
    owner->IncludeSubfolders(true);
    std::string root = "D:\\r";
    owner.get()->Search(root);
    EXPECT_EQ(files, 40) << "the walk went on to its end";
    EXPECT_TRUE(aliveAfterRelease);
    EXPECT_TRUE(watch.expired()) << "released once the walk returned";
}

}  // namespace
