// The "s" command seen from the front end (silent and list mode, driven
// through the window like a person), and the search object called directly.
#include <windows.h>

#include <memory>

#include "main/search/Suchen.h"
#include "main/search/clsSuche.h"
#include "main/search/searchmodDrvScan.h"
#include "main/startup/program_state.h"
#include "tests/win/system_test.h"

using namespace systest;

namespace {

enum SearchControl { kList1 = 1001, kCmdSuchen = 1002, kLstDrives = 1003, kLabel1 = 1004 };

struct SearchAnswer {
    std::string result, file;
};

// Both values of the result file's "Search" section, once both are written.
std::optional<SearchAnswer> WaitForSearchAnswer(uia::Ms timeout = uia::Ms{20000}) {
    std::optional<SearchAnswer> answer;
    uia::WaitUntil(
        [&] {
            const auto bytes = uia::ReadFileBytes(ResultFile());
            if (!bytes) return false;
            for (const auto& section : ParseIni(*bytes)) {
                if (section.name != "Search") continue;
                std::optional<std::string> result, file;
                for (const auto& [key, value] : section.entries) {
                    if (key == "Result") result = value;
                    if (key == "File") file = value;
                }
                if (result && file) {
                    answer = SearchAnswer{*result, *file};
                    return true;
                }
            }
            return false;
        },
        timeout);
    return answer;
}

// Starts the main program without waiting for it to become idle (a silent
// search never waits for input: it would be over before the wait was).
uia::Process StartMain(const std::string& parameters) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = "\"" + uia::MainProgram() + "\" " + parameters;
    if (!::CreateProcessA(uia::MainProgram().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\",
                          &si, &pi))
        return {};
    ::CloseHandle(pi.hThread);
    return uia::Process(pi.hProcess, pi.dwProcessId);
}

// A silent search from start to end: the answer, then the hand-over deletes
// the result file and the program ends.
SearchAnswer RunSilent(const std::string& parameters) {
    uia::Process p = StartMain(parameters);
    EXPECT_TRUE(p.Started());
    const auto answer = WaitForSearchAnswer();
    EXPECT_TRUE(answer) << parameters;
    EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{0})) << parameters;
    EXPECT_EQ(p.WaitForExit(uia::Ms{20000}), 0u) << parameters;
    EXPECT_FALSE(uia::FileExists(ResultFile())) << parameters;
    return answer.value_or(SearchAnswer{"<none>", "<none>"});
}

void MakeFile(const std::string& path, DWORD attributes = 0) {
    const auto slash = path.find_last_of('\\');
    ASSERT_TRUE(uia::MakeFolders(path.substr(0, slash))) << path;
    ASSERT_TRUE(uia::WriteFileBytes(path, "x")) << path;
    if (attributes) ::SetFileAttributesA(path.c_str(), attributes);
}

// Removes a tree of any path length (through the "\\?\" form of the wide functions).
void RemoveTreeW(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
        ::DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") RemoveTreeW(path + L"\\" + name);
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(path.c_str());
}

// D: (the test drive) emptied, so that each test sees only its own tree.
void ClearDriveD() {
    WIN32_FIND_DATAW data{};
    HANDLE find = ::FindFirstFileW(L"\\\\?\\D:\\*", &data);
    if (find == INVALID_HANDLE_VALUE) return;
    std::vector<std::wstring> names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    for (const auto& name : names) RemoveTreeW(L"\\\\?\\D:\\" + name);
}

// The files under `folder` whose names end in `suffix`, depth-first in the
// platform's order: the order in which a search must report them.
void ListInWalkOrder(const std::string& folder, const std::string& suffix,
                     std::vector<std::string>& out) {
    WIN32_FIND_DATAA data{};
    HANDLE find = ::FindFirstFileA((folder + "*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ListInWalkOrder(folder + name + "\\", suffix, out);
        } else if (name.size() >= suffix.size() &&
                   lstrcmpiA(name.substr(name.size() - suffix.size()).c_str(), suffix.c_str()) == 0) {
            out.push_back(folder + name);
        }
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
}

void MakeBigTree(const std::string& root, int folders, int filesPerFolder, const std::string& ext) {
    for (int f = 0; f < folders; ++f) {
        const std::string folder = root + "\\ordner" + std::to_string(f);
        ASSERT_TRUE(uia::MakeFolders(folder));
        for (int i = 0; i < filesPerFolder; ++i) {
            HANDLE h = ::CreateFileA((folder + "\\datei" + std::to_string(i) + ext).c_str(), GENERIC_WRITE,
                                     0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(h, INVALID_HANDLE_VALUE);
            ::CloseHandle(h);
        }
    }
}

class SearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearDriveD();
        ::DeleteFileA(ResultFile().c_str());
    }
};

// --- silent mode ---------------------------------------------------------------

TEST_F(SearchTest, SilentReportsFolderAndNameOfTheFind) {
    MakeFile("D:\\Programme\\Demo\\start.exe");
    MakeFile("D:\\Programme\\Demo\\start.txt");
    MakeFile("D:\\DATEN\\README");
    MakeFile("D:\\DATEN\\a.b.c");
    MakeFile("D:\\V1.0\\readme");

    auto a = RunSilent("s,D:,start.exe");
    EXPECT_EQ(a.result, "D:\\Programme\\Demo\\");
    EXPECT_EQ(a.file, "start.exe");
    // A name without extension ends in a full stop; case does not matter.
    a = RunSilent("s,d:,Readme");
    EXPECT_TRUE(a.result == "D:\\DATEN\\" || a.result == "D:\\V1.0\\") << a.result;
    EXPECT_EQ(a.file, a.result == "D:\\DATEN\\" ? "README." : "readme.");
    a = RunSilent("s, D: ,a.b.?");
    EXPECT_EQ(a.result, "D:\\DATEN\\");
    EXPECT_EQ(a.file, "a.b.c");
    a = RunSilent("s,D:,readme;nichts.*");
    EXPECT_TRUE(a.result == "D:\\DATEN\\" || a.result == "D:\\V1.0\\") << a.result;
}

TEST_F(SearchTest, SilentDottedFolder) {
    MakeFile("D:\\V1.0\\readme");
    const auto a = RunSilent("s,D:,readme");
    EXPECT_EQ(a.result, "D:\\V1.0\\");
    EXPECT_EQ(a.file, "readme.");
}

TEST_F(SearchTest, SilentTakesTheFirstFileInWalkOrder) {
    for (const char* path : {"D:\\b\\eins.q", "D:\\a\\zwei.q", "D:\\a\\tief\\drei.q", "D:\\vier.q",
                             "D:\\c\\d\\e\\fuenf.q", "D:\\c\\sechs.Q"})
        MakeFile(path);
    std::vector<std::string> order;
    ListInWalkOrder("D:\\", ".q", order);
    ASSERT_EQ(order.size(), 6u);
    const auto slash = order.front().find_last_of('\\');
    const auto a = RunSilent("s,D:,*.q");
    EXPECT_EQ(a.result, order.front().substr(0, slash + 1));
    EXPECT_EQ(a.file, order.front().substr(slash + 1));
}

TEST_F(SearchTest, SilentWithoutFindAnswersZeroAndTheTrimmedPattern) {
    MakeFile("D:\\setup.exe");
    auto a = RunSilent("s,D:,  nichts.xyz  ");
    EXPECT_EQ(a.result, "0");
    EXPECT_EQ(a.file, "nichts.xyz");
    // The blank belongs to the pattern, so setup.exe is not found.
    a = RunSilent("s,D:, setup.exe");
    EXPECT_EQ(a.result, "0");
    EXPECT_EQ(a.file, "setup.exe");
    // Five elements: silent mode too.
    a = RunSilent("s,D:,setup.exe,list,x");
    EXPECT_EQ(a.result, "D:\\");
    EXPECT_EQ(a.file, "setup.exe");
}

TEST_F(SearchTest, NotAFixedDriveAnswersAtOnceAndKeepsTheResultFile) {
    MakeFile("D:\\setup.exe");
    for (const char* parameters : {"s,E:,setup.exe", "s,F:,setup.exe", "s,ALL,setup.exe",
                                   "s, all,setup.exe", "s,C:\\,setup.exe", "s,D,setup.exe"}) {
        ::DeleteFileA(ResultFile().c_str());
        uia::Process p = RunMain(parameters);
        EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u) << parameters;
        EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{0}));
        const auto bytes = uia::ReadFileBytes(ResultFile());
        ASSERT_TRUE(bytes) << parameters << ": the result file stays";
        EXPECT_EQ(*bytes, "[Search]\r\nResult=0\r\nFile=\r\n") << parameters;
    }
}

TEST_F(SearchTest, IncompleteOrUnknownModeEndsWithoutAnswer) {
    MakeFile("D:\\setup.exe");
    for (const char* parameters : {"s", "s,D:", "s,all", "s,D:,setup.exe,List", "s,D:,setup.exe,list "}) {
        uia::Process p = RunMain(parameters);
        EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{300})) << parameters;
        EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u) << parameters;
        EXPECT_FALSE(uia::FileExists(ResultFile())) << parameters;
    }
}

// --- list mode -----------------------------------------------------------------------

// The entries of a list box of another process. Asked for in UTF-16: under
// Wine an ANSI LB_GETTEXT across processes answers in UTF-16 all the same.
std::vector<std::string> Entries(HWND list) {
    std::vector<std::string> items;
    const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::vector<wchar_t> wide(4096, L'\0');
        const LRESULT n = ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
        if (n == LB_ERR) continue;
        char ansi[8192] = {};
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, ansi, sizeof ansi - 1, nullptr, nullptr);
        items.emplace_back(ansi);
    }
    return items;
}

// Selects an entry and double-clicks it as a person would (selection, then
// the list's notifications to its window).
bool DoubleClickEntry(HWND list, const std::string& text) {
    const auto items = Entries(list);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] != text) continue;
        ::SendMessageA(list, LB_SETCURSEL, i, 0);
        const WPARAM id = static_cast<WPARAM>(::GetDlgCtrlID(list));
        ::PostMessageA(::GetParent(list), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        ::PostMessageA(::GetParent(list), WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
        return true;
    }
    return false;
}

struct SearchWindow {
    HWND window = nullptr, list = nullptr, button = nullptr, label = nullptr;
};

SearchWindow WaitForSearchWindow(DWORD pid, const std::string& pattern) {
    SearchWindow w;
    w.window = uia::WaitForWindow({pid, "Suchen nach: \"" + pattern + "\"", "#32770"});
    if (!w.window) return w;
    w.list = uia::FindControl(w.window, kList1);
    w.button = uia::FindControl(w.window, kCmdSuchen);
    w.label = uia::FindControl(w.window, kLabel1);
    return w;
}

bool WaitForLabel(const SearchWindow& w, const std::string& suffix, uia::Ms timeout = uia::Ms{60000}) {
    return uia::WaitUntil(
        [&] {
            const std::string t = uia::TextOf(w.label);
            return t.size() > suffix.size() && t.compare(t.size() - suffix.size(), suffix.size(), suffix) == 0 &&
                   uia::TextOf(w.button) == "Suchen";
        },
        timeout);
}

TEST_F(SearchTest, ListModeListsEveryFindAndADoubleClickReportsIt) {
    for (const char* path : {"D:\\Vortrag.PPT", "D:\\Kurs\\a.pps", "D:\\Kurs\\b.doc", "D:\\X.PPT\\c.txt"})
        MakeFile(path);
    uia::Process p = RunMain("s,D:,*.ppt;*.pps,list");
    const SearchWindow w = WaitForSearchWindow(p.Pid(), "*.ppt;*.pps");
    ASSERT_NE(w.window, nullptr);
    ASSERT_NE(w.list, nullptr);
    EXPECT_EQ(uia::TextOf(w.button), "Suchen");
    EXPECT_TRUE(Entries(w.list).empty()) << "nothing is searched before the button";
    EXPECT_EQ(uia::TextOf(w.label), "Ein Doppelklick auf den gewünschten Listeneintrag übernimmt die Datei.");
    // The list is hidden; only the visible controls are laid out for people.
    EXPECT_FALSE(uia::IsVisible(uia::FindControl(w.window, kLstDrives)));

    uia::Click(w.button);
    ASSERT_TRUE(WaitForLabel(w, " Dateien gefunden"));
    std::vector<std::string> expected;
    ListInWalkOrder("D:\\", ".ppt", expected);
    ListInWalkOrder("D:\\", ".pps", expected);
    auto items = Entries(w.list);
    EXPECT_EQ(uia::TextOf(w.label), "2 Dateien gefunden");
    std::sort(items.begin(), items.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(items, expected);
    uia::SaveScreenshot(ScreenshotPath("search-list"));
    EXPECT_TRUE(p.Running());
    EXPECT_FALSE(uia::FileExists(ResultFile()));

    ASSERT_TRUE(DoubleClickEntry(w.list, "D:\\Kurs\\a.pps"));
    const auto a = WaitForSearchAnswer();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->result, "D:\\Kurs\\");
    EXPECT_EQ(a->file, "a.pps");
    EXPECT_TRUE(uia::WaitForWindowGone({p.Pid(), "", "#32770"}, uia::Ms{1500})) << "hidden before the hand-over";
    EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
    EXPECT_FALSE(uia::FileExists(ResultFile()));
}

TEST_F(SearchTest, ListModeWithoutFindsEndsAndCloseBoxAnswersZero) {
    MakeFile("D:\\setup.exe");
    uia::Process p = RunMain("s,D:, setup.EXE ,list");
    const SearchWindow w = WaitForSearchWindow(p.Pid(), " setup.EXE ");
    ASSERT_NE(w.window, nullptr);
    uia::Click(w.button);
    // " setup.EXE " fits no name (blanks count), so the search ended the program.
    auto a = WaitForSearchAnswer();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->result, "0");
    EXPECT_EQ(a->file, "setup.EXE");
    EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);

    uia::Process q = RunMain("s,D:,setup.exe,list");
    const SearchWindow v = WaitForSearchWindow(q.Pid(), "setup.exe");
    ASSERT_NE(v.window, nullptr);
    uia::Click(v.button);
    ASSERT_TRUE(WaitForLabel(v, " Dateien gefunden"));
    EXPECT_EQ(Entries(v.list), std::vector<std::string>{"D:\\setup.exe"});
    uia::CloseBox(v.window);
    a = WaitForSearchAnswer();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->result, "0");
    EXPECT_EQ(a->file, "setup.exe");
    EXPECT_EQ(q.WaitForExit(uia::Ms{10000}), 0u);
}

TEST_F(SearchTest, ListModeDoubleClickWithoutSelectionAnswersZero) {
    MakeFile("D:\\setup.exe");
    uia::Process p = RunMain("s,D:,setup.exe,list");
    const SearchWindow w = WaitForSearchWindow(p.Pid(), "setup.exe");
    ASSERT_NE(w.window, nullptr);

    // Resizing lays the controls out from the bottom right (15 twips to a pixel);
    // a window too low for the list keeps its last layout.
    RECT outer = uia::WindowRectOnScreen(w.window);
    ::SetWindowPos(w.window, nullptr, 0, 0, outer.right - outer.left + 150, outer.bottom - outer.top + 90,
                   SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(uia::WaitUntil([&] {
        RECT c;
        ::GetClientRect(w.window, &c);
        const RECT list = uia::WindowRectOnScreen(w.list);
        return list.right - list.left == c.right;
    }));
    RECT client;
    ::GetClientRect(w.window, &client);
    const RECT inner = uia::ClientRectOnScreen(w.window);
    const RECT list = uia::WindowRectOnScreen(w.list);
    const RECT button = uia::WindowRectOnScreen(w.button);
    const RECT label = uia::WindowRectOnScreen(w.label);
    EXPECT_EQ(list.left - inner.left, 0);
    EXPECT_EQ(list.top - inner.top, 0);
    EXPECT_EQ(list.bottom - list.top, client.bottom - 32);
    EXPECT_EQ(button.left - inner.left, client.right - 81 - 16);
    EXPECT_EQ(button.top - inner.top, client.bottom - 28);
    EXPECT_EQ(button.right - button.left, 81);
    EXPECT_EQ(label.left - inner.left, 8);
    EXPECT_EQ(label.top - inner.top, client.bottom - 28);
    ::SetWindowPos(w.window, nullptr, 0, 0, outer.right - outer.left, 20, SWP_NOMOVE | SWP_NOZORDER);
    uia::WaitUntil([&] { return uia::WindowRectOnScreen(w.window).bottom - uia::WindowRectOnScreen(w.window).top == 20; },
                   uia::Ms{2000});
    const RECT keptButton = uia::WindowRectOnScreen(w.button);
    EXPECT_EQ(keptButton.top - uia::ClientRectOnScreen(w.window).top, client.bottom - 28);
    EXPECT_TRUE(p.Running());
    ::SetWindowPos(w.window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                   SWP_NOMOVE | SWP_NOZORDER);
    uia::Click(w.button);
    ASSERT_TRUE(WaitForLabel(w, " Dateien gefunden"));
    ::PostMessageA(w.window, WM_COMMAND, MAKEWPARAM(kList1, LBN_DBLCLK), reinterpret_cast<LPARAM>(w.list));
    const auto a = WaitForSearchAnswer();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->result, "0");
    EXPECT_EQ(a->file, "setup.exe");
    EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
}

TEST_F(SearchTest, ListModeStopKeepsTheFindsAndTheProgramRunning) {
    MakeBigTree("D:\\gross", 60, 50, ".big");
    uia::Process p = RunMain("s,D:,*.big,list");
    const SearchWindow w = WaitForSearchWindow(p.Pid(), "*.big");
    ASSERT_NE(w.window, nullptr);
    uia::Click(w.button);
    ASSERT_TRUE(uia::WaitUntil([&] { return ::SendMessageA(w.list, LB_GETCOUNT, 0, 0) > 0; }, uia::Ms{20000}));
    EXPECT_EQ(uia::TextOf(w.button), "Stop!");
    uia::Click(w.button);
    ASSERT_TRUE(WaitForLabel(w, " Dateien gefunden", uia::Ms{10000}));
    const auto items = Entries(w.list);
    EXPECT_GT(items.size(), 0u);
    EXPECT_LT(items.size(), 3000u) << "the walk stopped early";
    EXPECT_EQ(uia::TextOf(w.label), std::to_string(items.size()) + " Dateien gefunden");
    for (const auto& item : items) EXPECT_EQ(item.substr(0, 9), "D:\\gross\\") << item;
    EXPECT_TRUE(p.Running());
    EXPECT_FALSE(uia::FileExists(ResultFile()));

    // Searching again clears the list and runs to its end.
    uia::Click(w.button);
    ASSERT_TRUE(uia::WaitUntil([&] { return uia::TextOf(w.label) == "3000 Dateien gefunden"; }, uia::Ms{60000}));
    EXPECT_EQ(Entries(w.list).size(), 3000u);
    uia::CloseBox(w.window);
    const auto a = WaitForSearchAnswer();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->result, "0");
    EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
}

TEST_F(SearchTest, ListModeStopBeforeAnyFindEndsWithZero) {
    MakeBigTree("D:\\gross", 100, 50, ".big");
    uia::Process p = RunMain("s,D:,*.nichts,list");
    const SearchWindow w = WaitForSearchWindow(p.Pid(), "*.nichts");
    ASSERT_NE(w.window, nullptr);
    uia::Click(w.button);
    ASSERT_TRUE(uia::WaitUntil([&] { return uia::TextOf(w.button) == "Stop!"; }, uia::Ms{10000}));
    uia::Click(w.button);
    const auto a = WaitForSearchAnswer();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->result, "0");
    EXPECT_EQ(a->file, "*.nichts");
    EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
}

// "all": the fixed drives C: and D: in letter order; the CD-ROM E: never.
// Stopping and at once searching again starts a new search inside the old one.
TEST_F(SearchTest, AllSearchesOnlyFixedDrivesAndSurvivesARestartInsideAStop) {
    const std::string scratch = ScratchFolder();
    MakeFile(scratch + "\\allprobe2.q");
    MakeFile("D:\\allprobe1.q");
    MakeFile("D:\\tief\\allprobe3.q", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ::SetFileAttributesA("D:\\tief", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const bool cdromWritable = uia::WriteFileBytes("E:\\allprobe0.q", "x");

    uia::Process p = RunMain("s,all,allprobe*.q,list");
    const SearchWindow w = WaitForSearchWindow(p.Pid(), "allprobe*.q");
    ASSERT_NE(w.window, nullptr);
    EXPECT_EQ(Entries(uia::FindControl(w.window, kLstDrives)), (std::vector<std::string>{"C:", "D:"}));
    uia::Click(w.button);
    ASSERT_TRUE(WaitForLabel(w, " Dateien gefunden", uia::Ms{120000}));
    std::vector<std::string> items = Entries(w.list);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], scratch + "\\allprobe2.q");
    std::sort(items.begin() + 1, items.end());
    EXPECT_EQ(items[1], "D:\\allprobe1.q");
    EXPECT_EQ(items[2], "D:\\tief\\allprobe3.q") << "hidden and system entries are searched";
    if (!cdromWritable) std::printf("note: E: could not be written; its exclusion rests on the drive list\n");

    // Stop at once and press again: the new search runs inside the old call,
    // which then goes on with its remaining drive under the same flag.
    uia::Click(w.button);
    ASSERT_TRUE(uia::WaitUntil([&] { return uia::TextOf(w.button) == "Stop!"; }, uia::Ms{10000}));
    uia::Click(w.button);
    uia::Click(w.button);
    ASSERT_TRUE(uia::WaitUntil(
        [&] {
            return uia::TextOf(w.button) == "Suchen" &&
                   uia::TextOf(w.label) == std::to_string(Entries(w.list).size()) + " Dateien gefunden";
        },
        uia::Ms{120000}));
    items = Entries(w.list);
    EXPECT_GE(items.size(), 3u);
    for (const auto& item : items)
        EXPECT_TRUE(item == scratch + "\\allprobe2.q" || item == "D:\\allprobe1.q" || item == "D:\\tief\\allprobe3.q")
            << item;
    EXPECT_TRUE(p.Running());
    uia::CloseBox(w.window);
    const auto a = WaitForSearchAnswer();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->result, "0");
    EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
    ::DeleteFileA("E:\\allprobe0.q");
}

TEST_F(SearchTest, FolderThatCannotBeOpenedIsSkippedSilently) {
    // A folder whose path is longer than the ANSI functions accept.
    std::wstring deep = L"\\\\?\\D:\\lang";
    ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr));
    for (int i = 0; i < 6; ++i) {
        deep += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + i));
        ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr));
    }
    HANDLE h = ::CreateFileW((deep + L"\\tief.q").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
    MakeFile("D:\\zz\\flach.q");

    uia::Process p = RunMain("s,D:,*.q,list");
    const SearchWindow w = WaitForSearchWindow(p.Pid(), "*.q");
    ASSERT_NE(w.window, nullptr);
    uia::Click(w.button);
    ASSERT_TRUE(WaitForLabel(w, " Dateien gefunden"));
    EXPECT_EQ(Entries(w.list), std::vector<std::string>{"D:\\zz\\flach.q"});
    EXPECT_FALSE(uia::WaitForMessageBox(p.Pid(), uia::Ms{200}));
    uia::CloseBox(w.window);
    EXPECT_TRUE(WaitForSearchAnswer());
    EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
}

// --- the search object and the drive procedures, called directly -----------------

struct Finds {
    std::vector<std::string> files, folders;
};

std::shared_ptr<tav::clsSuche> MakeSearch(Finds& finds, const std::string& pattern, bool subDirs = true) {
    auto s = tav::clsSuche::Create(
        [&finds](std::string& folder, std::string& name) { finds.files.push_back(folder + name); },
        [&finds](std::string& folder) { finds.folders.push_back(folder); });
    s->strSuchmuster(pattern);
    s->bolIncludeSubDirs(subDirs);
    return s;
}

TEST_F(SearchTest, ObjectReportsFoldersByFullPathAndFilesByName) {
    for (const char* path : {"D:\\Daten\\x.txt", "D:\\a\\DATEN\\y.txt", "D:\\a\\Datenbank\\z.txt",
                             "D:\\Vortrag.PPT", "D:\\X.PPT\\w.pps"})
        MakeFile(path);
    tav::State.bolSearchActive = true;
    Finds finds;
    auto s = MakeSearch(finds, "*\\DATEN\\");
    std::string root = "D:";
    s->Suchen(root);
    EXPECT_EQ(root, "D:\\") << "the caller's folder gets its backslash";
    EXPECT_TRUE(finds.files.empty());
    std::sort(finds.folders.begin(), finds.folders.end());
    EXPECT_EQ(finds.folders, (std::vector<std::string>{"D:\\Daten\\", "D:\\a\\DATEN\\"}));

    Finds ppt;
    auto t = MakeSearch(ppt, "*.ppt;*.pps");
    root = "D:\\";
    t->Suchen(root);
    std::sort(ppt.files.begin(), ppt.files.end());
    EXPECT_EQ(ppt.files, (std::vector<std::string>{"D:\\Vortrag.PPT", "D:\\X.PPT\\w.pps"}));
    EXPECT_TRUE(ppt.folders.empty()) << "a folder's path ends in a backslash";

    Finds caseSensitive;
    auto u = MakeSearch(caseSensitive, "*.ppt");
    u->bolCaseSensitive(true);
    u->Suchen(root);
    EXPECT_TRUE(caseSensitive.files.empty());

    // Without subfolders only the folder itself; an invalid piece fits everything.
    Finds flat;
    auto v = MakeSearch(flat, "x;[abc", false);
    v->Suchen(root);
    EXPECT_EQ(flat.files, std::vector<std::string>{"D:\\Vortrag.PPT"});
    EXPECT_EQ(flat.folders.size(), 3u);

    // An empty list or a trailing ";" never reports a file, yet the whole tree is walked.
    Finds none;
    auto e = MakeSearch(none, "");
    e->Suchen(root);
    auto f = MakeSearch(none, ";");
    f->Suchen(root);
    EXPECT_TRUE(none.files.empty());
    EXPECT_TRUE(none.folders.empty());
    EXPECT_EQ(e->EntriesExamined(), f->EntriesExamined());
    EXPECT_GE(e->EntriesExamined(), 11u);
}

TEST_F(SearchTest, ObjectWithTheFlagAlreadyClearedExaminesOneEntry) {
    MakeFile("D:\\eins.q");
    tav::State.bolSearchActive = false;
    Finds finds;
    auto s = MakeSearch(finds, "*.q");
    std::string root = "D:\\";
    s->Suchen(root);
    EXPECT_EQ(s->EntriesExamined(), 1u);
    EXPECT_EQ(finds.files, std::vector<std::string>{"D:\\eins.q"});

    // A handler that clears the flag: every level stops at the entry it is on.
    MakeBigTree("D:\\b", 3, 5, ".q");
    tav::State.bolSearchActive = true;
    Finds stopped;
    auto t = tav::clsSuche::Create([&](std::string& folder, std::string& name) {
        stopped.files.push_back(folder + name);
        tav::State.bolSearchActive = false;
    });
    t->strSuchmuster("*.q");
    t->bolIncludeSubDirs(true);
    t->Suchen(root);
    EXPECT_EQ(stopped.files.size(), 1u);
    EXPECT_LE(t->EntriesExamined(), 8u);

    // A folder that does not exist: nothing reported, one entry's worth of work.
    tav::State.bolSearchActive = true;
    Finds missing;
    auto u = MakeSearch(missing, "*");
    std::string gone = "D:\\fehlt";
    u->Suchen(gone);
    EXPECT_TRUE(missing.files.empty() && missing.folders.empty());
    EXPECT_EQ(u->EntriesExamined(), 1u);
}

TEST_F(SearchTest, ObjectSurvivesItsReleaseFromAHandler) {
    MakeBigTree("D:\\r", 4, 10, ".q");
    tav::State.bolSearchActive = true;
    std::shared_ptr<tav::clsSuche> owner;
    std::weak_ptr<tav::clsSuche> watch;
    int files = 0;
    bool aliveAfterRelease = true;
    owner = tav::clsSuche::Create([&](std::string&, std::string&) {
        ++files;
        owner.reset();  // the owner lets go in the middle of the walk
        aliveAfterRelease = aliveAfterRelease && !watch.expired();
    });
    watch = owner;
    owner->strSuchmuster("*.q");
    owner->bolIncludeSubDirs(true);
    std::string root = "D:\\r";
    auto* raw = owner.get();
    raw->Suchen(root);
    EXPECT_EQ(files, 40) << "the walk went on to its end";
    EXPECT_TRUE(aliveAfterRelease);
    EXPECT_TRUE(watch.expired()) << "released once the walk returned";
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        auto* seen = reinterpret_cast<std::vector<unsigned long long>*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        auto* search = reinterpret_cast<tav::clsSuche*>(lParam);
        seen->push_back(search->EntriesExamined());
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST_F(SearchTest, ObjectLetsWaitingMessagesThroughAtTheFirstEntry) {
    MakeBigTree("D:\\m", 2, 5, ".q");
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "SearchTestRecorder";
    ::RegisterClassA(&wc);
    HWND recorder = ::CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      wc.hInstance, nullptr);
    ASSERT_NE(recorder, nullptr);
    std::vector<unsigned long long> seen;
    ::SetWindowLongPtrA(recorder, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&seen));

    tav::State.bolSearchActive = true;
    Finds finds;
    auto s = MakeSearch(finds, "*.q");
    ::PostMessageA(recorder, WM_APP, 0, reinterpret_cast<LPARAM>(s.get()));
    std::string root = "D:\\m";
    s->Suchen(root);
    EXPECT_EQ(seen, std::vector<unsigned long long>{0}) << "processed before the first entry was examined";
    EXPECT_EQ(finds.files.size(), 10u);
    ::DestroyWindow(recorder);
}

TEST_F(SearchTest, DriveStringsAndFixedDrives) {
    const auto roots = tav::GetDriveStrings();
    ASSERT_FALSE(roots.empty());
    EXPECT_EQ(roots.back(), "");
    EXPECT_EQ(std::vector<std::string>(roots.begin(), roots.end() - 1),
              (std::vector<std::string>{"C:\\", "D:\\", "E:\\", "F:\\"}));
    tav::AddFixedDrives();
    EXPECT_EQ(Entries(uia::FindControl(tav::SuchenWindow(), kLstDrives)),
              (std::vector<std::string>{"C:", "D:"}));
    EXPECT_FALSE(uia::IsVisible(tav::SuchenWindow()));
}

}  // namespace
