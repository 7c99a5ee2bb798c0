#include "main/search/search_window.h"

#include <memory>
#include <utility>
#include <vector>

#include "common/win/form.h"
#include "common/win/program.h"
#include "common/win/raii.h"
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
                            WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NODATA |
                                LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT,
                            kFoundList, FoundList, dpi_);
        TakeOverFoundList();
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
            case WM_MEASUREITEM:
                // Sent while the list is created, before it has its font: a
                // row as high as a line of the window's font.
                if (wParam == FoundList) {
                    reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = LineHeight();
                    return TRUE;
                }
                return FALSE;
            case WM_DRAWITEM:
                if (wParam == FoundList) {
                    DrawFind(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
                    return TRUE;
                }
                return FALSE;
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
        finds_.clear();
        listed_ = 0;
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
        ::SetWindowTextA(hintLabel_, FoundCountText(finds_.size()).c_str());
        if (finds_.empty()) Finish("0", State.SearchResult);
    }

private:
    void OnFileFound(std::string& fileFolder, std::string& fileName) {
        if (!State.SearchActive) return;
        finds_.push_back(fileFolder + fileName);
        if (!inWindow_ && finds_.size() == 1) {
            TakeEntry(finds_.front());
            WriteSearchResult(State.SearchResult, foundFile_);
            State.SearchActive = false;
            HideAndEnd();
        }
    }

    // The list holds no entries of its own (LBS_NODATA): the window keeps
    // the finds, the list knows only how many there are and asks the window
    // to draw the rows in view. So a find costs the walk next to nothing, and
    // bringing the list up to date costs the same however many finds came in.
    // It answers the list-box messages for the texts of its entries from the
    // finds, and says so by its style, so that other programs (assistive
    // tools, a front end's tests) read it as any list box with strings.
    void TakeOverFoundList() {
        ::SetWindowLongPtrA(foundList_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        listProc_ = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(foundList_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FoundListProc)));
        const LONG_PTR style = ::GetWindowLongPtrA(foundList_, GWL_STYLE);
        ::SetWindowLongPtrA(foundList_, GWL_STYLE, style | LBS_HASSTRINGS);
    }

    static LRESULT CALLBACK FoundListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* form = reinterpret_cast<SearchForm*>(::GetWindowLongPtrA(list, GWLP_USERDATA));
        return form->HandleFoundList(message, wParam, lParam);
    }

    LRESULT HandleFoundList(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case LB_GETTEXTLEN:
                if (wParam >= finds_.size()) return LB_ERR;
                return static_cast<LRESULT>(finds_[wParam].size());
            case LB_GETTEXT: {
                if (wParam >= finds_.size() || !lParam) return LB_ERR;
                const std::string& find = finds_[wParam];
                find.copy(reinterpret_cast<char*>(lParam), find.size());
                reinterpret_cast<char*>(lParam)[find.size()] = '\0';
                return static_cast<LRESULT>(find.size());
            }
            case WM_STYLECHANGING:
            case WM_STYLECHANGED:
                // The list keeps the kind it was made as; only the style
                // word tells others that it has texts.
                if (wParam == static_cast<WPARAM>(GWL_STYLE)) return 0;
                break;
            case WM_LBUTTONDBLCLK:
                // The second press of a double-click: the row under the mouse
                // now is the one meant, wherever the selection has gone since
                // the first press (the mouse reported somewhere else while the
                // button was held moves it).
                doubleClickedRow_ = RowAt(static_cast<short>(HIWORD(lParam)));
                break;
        }
        return ::CallWindowProcA(listProc_, foundList_, message, wParam, lParam);
    }

    // The entry shown at `y` pixels in the list's client area; -1 for none.
    int RowAt(int y) const {
        RECT client;
        if (y < 0 || !::GetClientRect(foundList_, &client) || y >= client.bottom) return -1;
        const LRESULT top = ::SendMessageA(foundList_, LB_GETTOPINDEX, 0, 0);
        const LRESULT height = ::SendMessageA(foundList_, LB_GETITEMHEIGHT, 0, 0);
        if (top < 0 || height <= 0) return -1;
        const LRESULT row = top + y / height;
        return row < ListCount(foundList_) ? static_cast<int>(row) : -1;
    }

    UINT LineHeight() const {
        HFONT font = reinterpret_cast<HFONT>(::SendMessageA(hwnd_, WM_GETFONT, 0, 0));
        if (!font) font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICA metrics{};
        const UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));  // measures as the screen does
        if (dc) {
            const HGDIOBJ previous = ::SelectObject(dc.get(), font);
            ::GetTextMetricsA(dc.get(), &metrics);
            ::SelectObject(dc.get(), previous);
        }
        return metrics.tmHeight > 0 ? static_cast<UINT>(metrics.tmHeight) : 16u;
    }

    // One row as a list box draws its strings: the text on the window's or
    // the selection's colours, and the focus frame.
    void DrawFind(const DRAWITEMSTRUCT& item) const {
        if (item.itemAction == ODA_FOCUS) {
            ::DrawFocusRect(item.hDC, &item.rcItem);
            return;
        }
        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        const COLORREF text = ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        const COLORREF back = ::SetBkColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        const std::string* find = item.itemID < finds_.size() ? &finds_[item.itemID] : nullptr;
        ::ExtTextOutA(item.hDC, item.rcItem.left + 1, item.rcItem.top, ETO_OPAQUE | ETO_CLIPPED, &item.rcItem,
                      find ? find->data() : "", find ? static_cast<UINT>(find->size()) : 0u, nullptr);
        ::SetTextColor(item.hDC, text);
        ::SetBkColor(item.hDC, back);
        if (item.itemState & ODS_FOCUS) ::DrawFocusRect(item.hDC, &item.rcItem);
    }

    // When the walk lets window messages through (about every 10 ms) the
    // list is brought up to date if the pacer says so (updates take about a
    // twentieth of the time), and at once when a key, a mouse button or a
    // repaint is waiting, so that the list is up to date whenever a click or
    // a double-click reaches it. The entries appear while the walk runs, in
    // walk order; they are only ever appended, so what lies under the mouse
    // never moves.
    void OnMessagesDue() {
        if (listed_ == finds_.size()) return;
        const DWORD start = ::GetTickCount();
        if (!listRefresh_.Due(start) && !HIWORD(::GetQueueStatus(QS_KEY | QS_MOUSEBUTTON | QS_PAINT))) return;
        ShowNewFinds();
        listRefresh_.Shown(start, ::GetTickCount());
    }

    void ShowNewFinds() {
        if (listed_ == finds_.size()) return;
        const int first = static_cast<int>(listed_);
        listed_ = finds_.size();
        // The new count with redrawing off (the list would repaint all of
        // itself); then only the new rows that are in view are painted, and
        // the scroll bar follows the count.
        ::SendMessageA(foundList_, WM_SETREDRAW, FALSE, 0);
        ::SendMessageA(foundList_, LB_SETCOUNT, listed_, 0);
        ::SendMessageA(foundList_, WM_SETREDRAW, TRUE, 0);
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
        // The row under the mouse at a double-click; without one (the
        // notification alone, as assistive tools send it), the selected entry.
        int row = std::exchange(doubleClickedRow_, -1);
        if (row < 0) {
            const LRESULT selected = ::SendMessageA(foundList_, LB_GETCURSEL, 0, 0);
            row = selected == LB_ERR ? -1 : static_cast<int>(selected);
        }
        if (row < 0 || static_cast<std::size_t>(row) >= finds_.size()) {
            // Nothing chosen: answered like a search without a choice.
            Finish("0", State.SearchResult);
        }
        TakeEntry(finds_[static_cast<std::size_t>(row)]);
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
    std::vector<std::string> finds_;  // full paths, in walk order
    std::size_t listed_ = 0;          // how many of them the list shows
    int doubleClickedRow_ = -1;       // the row under the mouse at the last double-click
    WNDPROC listProc_ = nullptr;      // the list box's own procedure
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
