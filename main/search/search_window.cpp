#include "main/search/search_window.h"

#include <memory>

#include "common/win/form.h"
#include "common/win/program.h"
#include "main/run/split_path.h"
#include "main/search/file_search.h"
#include "main/search/search_logic.h"
#include "main/run/result_file.h"
#include "main/run/run_state.h"

namespace tav {
namespace {

enum ControlId { FoundList = 1001, SearchButton, DriveList, HintLabel };

constexpr int kInnerWidth = 7950, kInnerHeight = 3450;  // twips
const TwipsRect kFoundList = {120, 120, 7695, 2595};
const TwipsRect kSearchButton = {6480, 2880, kSearchButtonWidth, kSearchButtonHeight};
const TwipsRect kDriveList = {120, 3240, 1215, 1035};
const TwipsRect kHintLabel = {120, 2880, 5130, 195};  // placed by the window's layout at once

std::string WindowText(HWND hwnd) {
    const int n = ::GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    const int got = ::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

std::string ListText(HWND list, int index) {
    const LRESULT n = ::SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == LB_ERR || n < 0) return {};
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    const LRESULT got =
        ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

int ListCount(HWND list) {
    const LRESULT n = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    return n > 0 ? static_cast<int>(n) : 0;
}

class SearchForm {
public:
    INT_PTR Load(HWND hwnd) {
        hwnd_ = hwnd;
        dpi_ = ScreenDpi();
        SetClientSizeTwips(hwnd, kInnerWidth, kInnerHeight, dpi_);
        CenterOnScreen(hwnd);
        foundList_ = AddControl(hwnd, "LISTBOX", "",
                            WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_HASSTRINGS |
                                LBS_NOINTEGRALHEIGHT,
                            kFoundList, FoundList, dpi_);
        button_ = AddControl(hwnd, "BUTTON", "Suchen", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                          kSearchButton, SearchButton, dpi_);
        driveList_ = AddControl(hwnd, "LISTBOX", "", WS_BORDER | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, kDriveList,
                             DriveList, dpi_);
        hintLabel_ = AddControl(hwnd, "STATIC",
                             "Ein Doppelklick auf den gewünschten Listeneintrag übernimmt die Datei.",
                             WS_VISIBLE | SS_LEFT, kHintLabel, HintLabel, dpi_);
        const std::string caption = "Suchen nach: \"" + State.Args.OrEmpty(2) + "\"";
        ::SetWindowTextA(hwnd, caption.c_str());
        // The window's own layout applies from its first appearance on.
        RECT client;
        if (::GetClientRect(hwnd, &client)) Resize(client.right, client.bottom);
        return FALSE;
    }

    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_COMMAND:
                if (LOWORD(wParam) == SearchButton && HIWORD(wParam) == BN_CLICKED) {
                    StartSearch(true);
                } else if (LOWORD(wParam) == FoundList && HIWORD(wParam) == LBN_DBLCLK) {
                    DoubleClick();
                }
                // Enter and Esc (IDOK, IDCANCEL) have no meaning here.
                return TRUE;
            case WM_CLOSE:
                // The user closes the window (close box, system menu, Alt+F4).
                Finish("0", State.SearchResult);
            case WM_SIZE:
                if (wParam != SIZE_MINIMIZED) Resize(LOWORD(lParam), HIWORD(lParam));
                return TRUE;
            case WM_GETMINMAXINFO: {
                // Never so small that the bottom row loses part of the button.
                RECT r = {0, 0, TwipsToPixels(kSearchMinWidth, dpi_), TwipsToPixels(kSearchMinHeight, dpi_)};
                ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongPtrA(hwnd_, GWL_STYLE)), FALSE,
                                     static_cast<DWORD>(::GetWindowLongPtrA(hwnd_, GWL_EXSTYLE)));
                auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
                limits->ptMinTrackSize.x = r.right - r.left;
                limits->ptMinTrackSize.y = r.bottom - r.top;
                return TRUE;
            }
            case WM_SETCURSOR:
                if (hourglass_) {
                    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
                    ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
                    return TRUE;
                }
                return FALSE;
        }
        return FALSE;
    }

    void AddDrive(const std::string& designation) {
        ::SendMessageA(driveList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(designation.c_str()));
    }

    void Show() {
        ::ShowWindow(hwnd_, SW_SHOW);
        ::SetForegroundWindow(hwnd_);
    }

    void StartSearch(bool inWindow) {
        pattern_ = State.Args.OrEmpty(2);
        const std::string caption = WindowText(button_);
        if (caption == "Suchen") {
            ::SetWindowTextA(button_, "Stop!");
            State.SearchActive = true;
        } else if (caption == "Stop!") {
            // Pressed during a search: the running walk sees the flag and
            // returns; the call that started it finishes its drive loop.
            State.SearchActive = false;
            search_.reset();
            Hourglass(false);
            ::SetWindowTextA(button_, "Suchen");
            return;
        }
        Hourglass(true);
        inWindow_ = inWindow;
        ShowNewFinds();  // redrawing on before the list is cleared (a search inside a stopped one)
        ::SendMessageA(foundList_, LB_RESETCONTENT, 0, 0);

        const int drives = ListCount(driveList_);
        for (int i = 0; i < drives; ++i) {
            search_ = FileSearch::Create(
                [this](std::string& fileFolder, std::string& fileName) {
                    OnFileFound(fileFolder, fileName);
                },
                {}, [this] { OnMessagesDue(); });
            search_->SearchPattern(pattern_);
            search_->CaseSensitive(false);
            search_->IncludeSubfolders(true);
            std::string root = ListText(driveList_, i).substr(0, 2);
            search_->Search(root);
            search_.reset();
        }

        ShowNewFinds();
        Hourglass(false);
        ::SetWindowTextA(button_, "Suchen");
        const int found = ListCount(foundList_);
        ::SetWindowTextA(hintLabel_, FoundCountText(static_cast<std::size_t>(found)).c_str());
        if (found == 0) Finish("0", State.SearchResult);
    }

private:
    void OnFileFound(std::string& fileFolder, std::string& fileName) {
        if (!State.SearchActive) return;
        AddFind(fileFolder + fileName);
        if (!inWindow_ && ListCount(foundList_) == 1) {
            TakeEntry(ListText(foundList_, 0));
            WriteSearchResult(State.SearchResult, foundFile_);
            State.SearchActive = false;
            HideAndEnd();
        }
    }

    // A visible list box repaints itself for every entry added, and bringing
    // it up to date can cost as much as hundreds of steps of the walk. So
    // finds are added with the list's redrawing switched off; when the walk
    // lets window messages through (about every 10 ms) the new finds are
    // shown if the pacer says so (updates take about a twentieth of the time),
    // and at once when a key, a mouse button or a repaint is waiting. The entries
    // appear while the walk runs, in walk order, and the list is up to date
    // whenever a click or a double-click reaches it. Entries are only ever
    // appended, so what lies under the mouse never moves.
    void AddFind(const std::string& entry) {
        if (firstUnshownFind_ < 0) ::SendMessageA(foundList_, WM_SETREDRAW, FALSE, 0);
        const LRESULT index = ::SendMessageA(foundList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        if (firstUnshownFind_ < 0) firstUnshownFind_ = index >= 0 ? static_cast<int>(index) : 0;
    }

    void OnMessagesDue() {
        if (firstUnshownFind_ < 0) return;
        const DWORD start = ::GetTickCount();
        if (!listRefresh_.Due(start) && !HIWORD(::GetQueueStatus(QS_KEY | QS_MOUSEBUTTON | QS_PAINT))) return;
        ShowNewFinds();
        listRefresh_.Shown(start, ::GetTickCount());
    }

    void ShowNewFinds() {
        if (firstUnshownFind_ < 0) return;
        const int first = firstUnshownFind_;
        firstUnshownFind_ = -1;
        ::SendMessageA(foundList_, WM_SETREDRAW, TRUE, 0);
        // Only the new entries that are in view need painting; the list
        // updates its scroll bar itself.
        RECT client, item;
        if (!::GetClientRect(foundList_, &client) ||
            ::SendMessageA(foundList_, LB_GETITEMRECT, static_cast<WPARAM>(first), reinterpret_cast<LPARAM>(&item)) ==
                LB_ERR) {
            ::InvalidateRect(foundList_, nullptr, TRUE);
            return;
        }
        item.left = client.left;
        item.right = client.right;
        item.bottom = client.bottom;
        RECT dirty;
        if (::IntersectRect(&dirty, &item, &client)) ::InvalidateRect(foundList_, &dirty, TRUE);
    }

    void DoubleClick() {
        const LRESULT selected = ::SendMessageA(foundList_, LB_GETCURSEL, 0, 0);
        if (selected == LB_ERR) {
            // Nothing selected: answered like a search without a choice.
            Finish("0", State.SearchResult);
        }
        TakeEntry(ListText(foundList_, static_cast<int>(selected)));
        Finish(State.SearchResult, foundFile_);
    }

    // The chosen or first found path becomes the answer: its folder and its
    // name with the extension (a name without one ends in a full stop).
    void TakeEntry(const std::string& path) {
        std::string folder, name, extension;
        SplitPath(path, folder, name, extension);
        State.SearchResult = folder;
        foundFile_ = name + "." + extension;
    }

    [[noreturn]] void Finish(const std::string& result, const std::string& file) {
        WriteSearchResult(result, file);
        HideAndEnd();
    }

    [[noreturn]] void HideAndEnd() {
        ::ShowWindow(hwnd_, SW_HIDE);
        ResultHandOver();
        EndProgram();
    }

    void Hourglass(bool on) {
        hourglass_ = on;
        ::SetCursor(::LoadCursorA(nullptr, on ? IDC_WAIT : IDC_ARROW));
    }

    void Resize(int widthPixels, int heightPixels) {
        const auto layout = LayoutSearchWindow(PixelsToTwips(widthPixels, dpi_),
                                               PixelsToTwips(heightPixels, dpi_));
        if (!layout) return;  // too low for the list: keep the last layout
        Place(foundList_, layout->list);
        Place(button_, layout->button);
        Place(hintLabel_, layout->label);
    }

    void Place(HWND control, const TwipsRect& r) {
        ::MoveWindow(control, TwipsToPixels(r.left, dpi_), TwipsToPixels(r.top, dpi_),
                     TwipsToPixels(r.width, dpi_), TwipsToPixels(r.height, dpi_), TRUE);
    }

    HWND hwnd_ = nullptr, foundList_ = nullptr, button_ = nullptr, driveList_ = nullptr, hintLabel_ = nullptr;
    int dpi_ = 96;
    std::string pattern_;
    std::string foundFile_;
    bool inWindow_ = false;
    bool hourglass_ = false;
    int firstUnshownFind_ = -1;  // the first entry added since the list was last drawn
    ListRefreshPacer listRefresh_;
    std::shared_ptr<FileSearch> search_;
};

const FormStyle kStyle = {WS_OVERLAPPEDWINDOW, 0, "Suchen..."};

struct Loaded {
    SearchForm form;
    HWND window = nullptr;
};

// Created on first use; lives until the program ends.
Loaded& Load() {
    static Loaded loaded;
    if (!loaded.window)
        loaded.window = CreateForm(kStyle, nullptr, FormProc<SearchForm>, reinterpret_cast<LPARAM>(&loaded.form));
    return loaded;
}

SearchForm& Form() { return Load().form; }

}  // namespace

HWND SearchWindow() { return Load().window; }

void AddSearchDrive(const std::string& designation) { Form().AddDrive(designation); }
void ShowSearchWindow() { Form().Show(); }
void StartSearch(bool inWindow) { Form().StartSearch(inWindow); }

}  // namespace tav
