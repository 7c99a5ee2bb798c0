// The "s" command seen from the front end (silent and list mode, driven
// through the window like a person), and the search object called directly.
// The examples of docs/actions.md already run a silent find, a pattern with a
// blank that finds nothing, a CD drive and a double-click on a find.
#include <windows.h>

#include <algorithm>
#include <memory>

#include "common/win/raii.h"
#include "main/search/file_search.h"
#include "main/search/search_logic.h"
#include "main/run/run_state.h"
#include "tests/support/display.h"
#include "tests/support/fixtures.h"
#include "tests/support/search_driver.h"
#include "tests/support/system_test.h"

using namespace systest;

namespace {

// --- silent mode and the answers without a search --------------------------------

// Silent mode answers the first find in walk order, or "0" with the pattern
// trimmed, and the front end takes the answer over. Only a letter and its
// colon name a drive: anything else answers "0" at once and the answer stays.
// Too few elements, or four not ending in "list": no search, no answer.
TEST_F(SearchTest, WithoutAWindowTheAnswerIsTheFirstFindOrZeroOrNone) {
    for (const char* path : {"D:\\DATEN\\a.b.c", "D:\\V1.0\\liesmich", "D:\\setup.exe", "D:\\q\\b\\eins.q",
                             "D:\\q\\a\\zwei.q", "D:\\q\\a\\tief\\drei.q", "D:\\q\\vier.q", "D:\\q\\c\\d\\fuenf.q"})
        MakeFile(path);
    std::string firstQ = FilesInWalkOrder("D:\\q\\").front();  // the only ".q" files
    firstQ.insert(firstQ.find_last_of('\\') + 1, "|");
    const struct {
        std::string parameters, answer;
        bool kept;
    } cases[] = {
        {"s, d: ,a.b.?", "D:\\DATEN\\|a.b.c", false},
        {"s,D:,LIESMICH", "D:\\V1.0\\|liesmich.", false},  // no extension: a full stop; case does not matter
        {"s,D:,*.q", firstQ, false},
        {"s,D:,  setup.EXE  ", "0|setup.EXE", false},  // blanks count in the search, not in the answer
        {"s,D:,setup.exe,list,x", "D:\\|setup.exe", false},  // five elements: silent too
        {"s,ALL,setup.exe", "0|", true}, {"s,C:\\,setup.exe", "0|", true},
        {"s,D:", "<none>", false}, {"s,all", "<none>", false}, {"s,D:,setup.exe,List", "<none>", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters);
        RemoveResultFile();
        uia::Process p = RunMain(c.parameters);
        EXPECT_EQ(WaitForSearchAnswer(p), c.answer);
        EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{0}));
        EXPECT_EQ(p.WaitForExit(uia::Ms{20000}), 0u);
        EXPECT_EQ(uia::FileExists(ResultFile()), c.kept);
    }
}

// --- list mode -----------------------------------------------------------------------


// Names the ANSI code page cannot spell are passed over: a file, and a folder
// with everything in it, would be reported under a name that names nothing.
TEST_F(SearchTest, ListModeListsEveryFindAndADoubleClickReportsIt) {
    for (const char* path : {"D:\\Vortrag.PPT", "D:\\Kurs\\a.pps", "D:\\Kurs\\b.doc", "D:\\X.PPT\\c.txt"})
        MakeFile(path);
    ASSERT_TRUE(::CreateDirectoryW(L"D:\\\u0141\u00f3d\u017a", nullptr));  // Łódź
    for (const wchar_t* path : {L"D:\\\u0141\u00f3d\u017a.ppt",          // Łódź.ppt
                                L"D:\\Kurs\\\u0142za.pps",                // łza.pps: "l" would be a best fit
                                L"D:\\\u0141\u00f3d\u017a\\Vortrag.ppt",  // in the folder Łódź
                                L"D:\\Gr\u00f6\u00dfe.pps"})                // Größe.pps: code page 1252
        ASSERT_TRUE(MakeWideFile(path));
    uia::Process p = RunMain("s,D:,*.ppt;*.pps,list");
    const SearchWindow w(p.Pid(), "*.ppt;*.pps");
    ASSERT_NE(w.window, nullptr);
    EXPECT_TRUE(uia::ListItems(w.list).empty()) << "nothing is searched before the button";
    EXPECT_FALSE(uia::IsVisible(uia::FindControl(w.window, kDriveList)));

    uia::Click(w.button);
    ASSERT_TRUE(WaitForCount(w));
    auto items = uia::ListItems(w.list);
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, (std::vector<std::string>{"D:\\Gr\xf6\xdf" "e.pps", "D:\\Kurs\\a.pps", "D:\\Vortrag.PPT"}));
    EXPECT_TRUE(uia::WaitUntil([&] { return RowsDrawn(w.list, items.size()); })) << "the finds are on the screen";
    uia::SaveScreenshot(ScreenshotPath("search-list"));
    EXPECT_FALSE(uia::FileExists(ResultFile()));

    ASSERT_TRUE(uia::DoubleClickListItem(w.list, "D:\\Kurs\\a.pps"));
    EXPECT_EQ(WaitForSearchAnswer(p), "D:\\Kurs\\|a.pps");
    EXPECT_TRUE(uia::WaitForWindowGone({p.Pid(), "", "#32770"}, uia::Ms{1500})) << "hidden before the hand-over";
    EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
}

// Finds appear in walk order while the walk runs; "Stop!" keeps them and the
// program running; a double-click during a walk takes the entry under the mouse.
TEST_F(SearchTest, ListModeFillsInWalkOrderStopKeepsTheFindsAndADoubleClickTakesTheEntryUnderTheMouse) {
    MakeTree("D:\\gross", 40, 250, ".big");
    const std::vector<std::string> walkOrder = FilesInWalkOrder("D:\\");
    ASSERT_EQ(walkOrder.size(), 10000u);
    uia::Process p = RunMain("s,D:,*.big,list");
    const SearchWindow w(p.Pid(), "*.big");
    ASSERT_NE(w.window, nullptr);
    // The third row, where the double-click below goes: the pointer waits
    // there from the start, so that no report of another place comes late.
    const LRESULT rowHeight = ::SendMessageA(w.list, LB_GETITEMHEIGHT, 0, 0);
    const RECT list = uia::WindowRectOnScreen(w.list);
    const POINT thirdRow{list.left + 40, list.top + 2 + static_cast<LONG>(rowHeight) * 5 / 2};
    ASSERT_TRUE(MovePointerTo(thirdRow));
    const auto listed = [&] { return ::SendMessageA(w.list, LB_GETCOUNT, 0, 0); };
    uia::Click(w.button);
    ASSERT_TRUE(uia::WaitUntil([&] { return listed() > 20; }, uia::Ms{20000}));
    EXPECT_EQ(uia::TextOf(w.button), "Stop!");
    uia::Click(w.button);
    ASSERT_TRUE(WaitForCount(w, uia::Ms{10000}));
    uia::SaveScreenshot(ScreenshotPath("search-list-stopped"));
    const auto items = uia::ListItems(w.list);
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
    ASSERT_EQ(::SendMessageA(w.list, LB_GETTOPINDEX, 0, 0), 0);
    ::SetForegroundWindow(w.window);
    DoubleClickAt(thirdRow);
    EXPECT_EQ(WaitForSearchAnswer(p), std::string(walkOrder[2]).insert(walkOrder[2].find_last_of('\\') + 1, "|"));
    EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
}

// The whole instruction shows, and the button is never covered by the label,
// at 96 and 144 dots per inch and at every width the window can be given.
// Closing the window, and a search that finds nothing, answer "0".
TEST_F(SearchTest, TheInstructionShowsWholeAndTheButtonStaysClearAtEverySize) {
    const std::string instruction = "Ein Doppelklick auf den gew\xfcnschten Listeneintrag \xfc" "bernimmt die Datei.";
    for (const int dpi : {96, 144}) {
        SCOPED_TRACE(dpi);
        const DisplayDpi display(dpi);
        RemoveResultFile();
        uia::Process p = RunMain("s,D:,nichts.xyz,list");
        const SearchWindow w(p.Pid(), "nichts.xyz");
        ASSERT_NE(w.window, nullptr);
        RECT client{};
        ::GetClientRect(w.window, &client);
        EXPECT_EQ(client.right, tav::TwipsToPixels(7950, dpi)) << "the design size";
        EXPECT_EQ(uia::TextOf(w.label), instruction);
        EXPECT_EQ(TextCutOff(w.label, GuiFontAt(dpi).get(), true), "");
        EXPECT_FALSE(Overlap(w.label, w.button));
        uia::SaveScreenshot(ScreenshotPath("search-window-" + std::to_string(dpi) + "dpi"));

        // Narrower and narrower, below the smallest size the window allows.
        const RECT outer = uia::WindowRectOnScreen(w.window);
        const int frame = (outer.right - outer.left) - client.right;
        for (const int width : {447, 400, 300, 150, 50}) {
            const int pixels = width * dpi / 96;
            ::SetWindowPos(w.window, nullptr, 0, 0, pixels + frame, outer.bottom - outer.top,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            ::GetClientRect(w.window, &client);
            EXPECT_GE(client.right, std::min(pixels, tav::TwipsToPixels(tav::kSearchMinWidth, dpi)) - 1) << width;
            EXPECT_TRUE(WithinClientArea(w.button, w.window)) << width;
            EXPECT_FALSE(Overlap(w.label, w.button)) << width;
            if (width == 300 &&
                ::RedrawWindow(w.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN))
                uia::SaveScreenshot(ScreenshotPath("search-window-narrow-" + std::to_string(dpi) + "dpi"));
        }
        dpi == 96 ? uia::CloseBox(w.window) : uia::Click(w.button);
        EXPECT_EQ(WaitForSearchAnswer(p), "0|nichts.xyz");
        EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
    }
}

// "all": the fixed drives C: and D: in letter order, never the CD-ROM E:;
// hidden and system entries are searched, a folder the walk cannot open is
// skipped without a word, a new search started inside a stopped one is safe,
// and a double-click while no find is chosen answers "0".
TEST_F(SearchTest, AllSearchesFixedDrivesWithHiddenFilesAndSurvivesARestartInsideAStop) {
    const std::string scratch = ScratchFolder();
    MakeFile(scratch + "\\allprobe2.q");
    MakeFile("D:\\allprobe1.q");
    MakeFile("D:\\tief\\allprobe3.q");
    ::SetFileAttributesA("D:\\tief\\allprobe3.q", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ::SetFileAttributesA("D:\\tief", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    std::wstring deep = L"\\\\?\\D:\\lang";  // longer than the ANSI functions accept
    ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr));
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(::CreateDirectoryW((deep += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + i))).c_str(), nullptr));
    ASSERT_TRUE(MakeWideFile(deep + L"\\allprobe4.q"));
    uia::WriteFileBytes("E:\\allprobe0.q", "x");  // when E: is writable, a find there would show

    uia::Process p = RunMain("s,all,allprobe*.q,list");
    const SearchWindow w(p.Pid(), "allprobe*.q");
    ASSERT_NE(w.window, nullptr);
    EXPECT_EQ(uia::ListItems(uia::FindControl(w.window, kDriveList)), (std::vector<std::string>{"C:", "D:"}));
    const std::vector<std::string> finds = {scratch + "\\allprobe2.q", "D:\\allprobe1.q", "D:\\tief\\allprobe3.q"};
    uia::Click(w.button);
    ASSERT_TRUE(WaitForCount(w, uia::Ms{120000}));
    std::vector<std::string> items = uia::ListItems(w.list);
    ASSERT_EQ(items.size(), 3u);
    std::sort(items.begin() + 1, items.end());  // C: first; D:'s order is the platform's
    EXPECT_EQ(items, finds);
    EXPECT_FALSE(uia::WaitForMessageBox(p.Pid(), uia::Ms{200}));

    // Stop at once and press again: the new search runs inside the old call,
    // which then goes on with its remaining drive under the same flag.
    uia::Click(w.button);
    ASSERT_TRUE(uia::WaitUntil([&] { return uia::TextOf(w.button) == "Stop!"; }));
    uia::Click(w.button);
    uia::Click(w.button);
    ASSERT_TRUE(WaitForCount(w, uia::Ms{120000}));
    for (const auto& item : uia::ListItems(w.list))
        EXPECT_NE(std::find(finds.begin(), finds.end(), item), finds.end()) << item;
    ASSERT_EQ(uia::ListSelection(w.list), -1);
    ::PostMessageA(w.window, WM_COMMAND, MAKEWPARAM(kFoundList, LBN_DBLCLK), reinterpret_cast<LPARAM>(w.list));
    EXPECT_EQ(WaitForSearchAnswer(p), "0|allprobe*.q");
    EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
    ::DeleteFileA("E:\\allprobe0.q");
}

// --- the search object, called directly -------------------------------------------

// A walk of "*.q" whose handler is called for each find.
std::shared_ptr<tav::FileSearch> QSearch(std::function<void()> onFile) {
    tav::State.SearchActive = true;
    auto s = tav::FileSearch::Create([onFile](std::string&, std::string&) { onFile(); });
    s->SearchPattern("*.q");
    s->IncludeSubfolders(true);
    return s;
}

TEST_F(SearchTest, ObjectStopsAtTheEntryItIsOnOnceTheFlagIsCleared) {
    MakeTree("D:\\b", 3, 5, ".q");
    int files = 0;
    auto s = QSearch([&] { ++files; tav::State.SearchActive = false; });
    std::string root = "D:\\";
    s->Search(root);
    EXPECT_EQ(files, 1);
    EXPECT_LE(s->EntriesExamined(), 8u) << "each level examines at most the entry it is on";
}

TEST_F(SearchTest, ObjectSurvivesItsReleaseFromAHandler) {
    MakeTree("D:\\r", 4, 10, ".q");
    std::shared_ptr<tav::FileSearch> owner;
    std::weak_ptr<tav::FileSearch> watch;
    int files = 0;
    bool aliveAfterRelease = true;
    owner = QSearch([&] {
        ++files;
        owner.reset();  // the owner lets go in the middle of the walk
        aliveAfterRelease = aliveAfterRelease && !watch.expired();
    });
    watch = owner;
    std::string root = "D:\\r";
    owner.get()->Search(root);
    EXPECT_EQ(files, 40) << "the walk went on to its end";
    EXPECT_TRUE(aliveAfterRelease);
    EXPECT_TRUE(watch.expired()) << "released once the walk returned";
}

}  // namespace
