#include "main/dialogs/file_browser_window.h"

#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/win/files.h"
#include "common/win/form.h"
#include "common/win/program.h"
#include "common/win/raii.h"
#include "main/dialogs/file_browser_ids.h"
#include "main/dialogs/file_browser_logic.h"
#include "main/run/picture.h"
#include "main/dialogs/remembered_settings.h"
#include "main/run/split_path.h"
#include "main/resources/resource.h"
#include "main/run/result_file.h"
#include "main/run/run_state.h"

namespace tav {
namespace {

using namespace browser;

constexpr int kClientWidth = 6555, kClientHeight = 3420;  // twips
constexpr TwipsRect kPreviewBox = {4680, 600, 1695, 1575};
constexpr TwipsRect kSourcePictureInitial = {120, 3960, 1335, 1095};
constexpr TwipsRect kNoPreviewFrame = {3600, 3600, 1695, 1575};
constexpr TwipsRect kNoPreviewSymbol = {600, 480, 480, 480};  // within NoPreviewFrame
constexpr int kLineLeft = 120, kLineRight = 6360, kLineTop = 2265, kLineBottom = 2280;

constexpr const char* kPictureBoxClass = "TavrinoPictureBox";

// A plain white box that other controls live in (the no-preview frame).
LRESULT CALLBACK PictureBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORSTATIC) {
        ::SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterPictureBoxClass() {
    WNDCLASSA cls{};
    if (::GetClassInfoA(::GetModuleHandleA(nullptr), kPictureBoxClass, &cls)) return;
    cls.lpfnWndProc = PictureBoxProc;
    cls.hInstance = ::GetModuleHandleA(nullptr);
    cls.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    cls.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    cls.lpszClassName = kPictureBoxClass;
    ::RegisterClassA(&cls);
}

std::string ListText(HWND list, int index, bool combo) {
    const auto length =
        ::SendMessageA(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0);
    if (length < 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    ::SendMessageA(list, combo ? CB_GETLBTEXT : LB_GETTEXT, index,
                   reinterpret_cast<LPARAM>(text.data()));
    return CutAtNul(text.data(), text.size());
}

// A window's device context for the length of a block.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Volume queries must not bring up the system's "insert a disk" boxes.
class QuietDriveErrors {
public:
    QuietDriveErrors() : previous_(::SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~QuietDriveErrors() { ::SetErrorMode(previous_); }
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

private:
    UINT previous_;
};

std::string VolumeLabel(const std::string& root) {
    QuietDriveErrors quiet;
    char label[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr,
                                 nullptr, 0))
        return {};
    return CutAtNul(label, sizeof label);
}

// True when the drive's root can be reached at all (a medium is in, the
// device or share answers).
bool DriveIsReady(char letter) {
    QuietDriveErrors quiet;
    const std::string root = std::string(1, letter) + ":\\";
    const DWORD attributes = ::GetFileAttributesA(root.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The full path of a folder as the platform spells it, without a trailing
// backslash except at a root.
std::string FullFolderPath(const std::string& path) {
    char buffer[MAX_PATH * 2] = {};
    const DWORD n = ::GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    if (n == 0 || n >= sizeof buffer) return {};
    std::string full(buffer, n);
    const auto chain = FolderChain(full);
    return chain.empty() ? std::string() : chain.back();
}

// The current folder of the process on drive `letter` (the root when it has none).
std::string CurrentFolderOfDrive(char letter) {
    return FullFolderPath(std::string(1, letter) + ":");
}

enum class FolderGlyph { Drive, Open, Closed };

class FileBrowserForm {
public:
    INT_PTR Load(HWND hwnd);  // TRUE: the dialog focuses its first control
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    // Controls.
    void CreateControls();
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    void SetLabelText(int id, const std::string& text, bool sizeToText);

    // Drive list, folder list, file list.
    void FillDriveList();
    int DriveIndexOf(char letter) const;
    bool SelectDrive(char letter, bool tellUser);
    void OnDriveChanged(bool tellUser);
    bool SetFolder(const std::string& folder);
    void FillFolderList();
    void OpenFolderEntry(int index);
    void OnFolderChanged();
    void FillFileList();

    // Preview and buttons.
    std::string SelectedPath() const;
    SIZE SourceSize() const;
    void OnFileChosen();
    void OnOkButton();
    void OnCancelButton();
    void RememberPlace();

    // Drawing.
    void DrawItem(const DRAWITEMSTRUCT& item);
    void DrawFolderEntry(const DRAWITEMSTRUCT& item);
    void DrawGlyph(HDC dc, int x, int y, FolderGlyph glyph);
    void PaintSeparator();

    static LRESULT CALLBACK FolderListProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    ComApartment com_;  // the picture loading needs COM for the window's lifetime
    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    UniqueGdiObject font_;
    UniqueIcon icon_, smallIcon_, noPreviewIcon_;

    std::string requiredWidth_, requiredHeight_;
    bool checkSize_ = false;
    std::string patternList_ = "*.*";

    int driveIndex_ = -1;       // the drive list's current entry
    std::string folder_;        // the folder list's current folder
    std::vector<std::string> folderEntries_;  // full path of each folder list entry
    std::vector<FolderGlyph> folderGlyphs_;
    std::vector<int> folderLevels_;
    int deepestFolderLevel_ = 0;
    int currentFolderIndex_ = -1;

    ComPtr<IPicture> sourcePicture_;  // SourcePicture's picture
    SIZE sourceSize_{};               // its size in pixels (a window is never wider than 32767)
    bool previewShown_ = false;       // PreviewBox shows SourcePicture's picture
};

INT_PTR FileBrowserForm::Load(HWND hwnd) {
    hwnd_ = hwnd;
    dpi_ = ScreenDpi();
    SetClientSizeTwips(hwnd, kClientWidth, kClientHeight, dpi_);
    CenterOnScreen(hwnd);

    const HINSTANCE module = ::GetModuleHandleA(nullptr);
    icon_.reset(static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(IDI_TAVRINO), IMAGE_ICON,
                                                ::GetSystemMetrics(SM_CXICON),
                                                ::GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.reset(static_cast<HICON>(::LoadImageA(
        module, MAKEINTRESOURCEA(IDI_TAVRINO), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
        ::GetSystemMetrics(SM_CYSMICON), 0)));
    if (icon_) ::SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
    if (smallIcon_)
        ::SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

    font_ = CreateUiFont("MS Sans Serif", 8.25, false, dpi_);
    ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    CreateControls();

    // The load step proper.
    requiredWidth_ = State.Args[4].value_or("");
    requiredHeight_ = State.Args[5].value_or("");
    checkSize_ = !requiredWidth_.empty();
    ::EnableWindow(Item(OkButton), checkSize_ ? FALSE : TRUE);

    char current[MAX_PATH * 2] = {};
    const DWORD n = ::GetCurrentDirectoryA(sizeof current, current);
    std::string start = (n > 0 && n < sizeof current) ? FullFolderPath(current) : std::string();
    if (start.empty()) start = "C:\\";
    if (const auto letter = DriveLetterOf(start)) driveIndex_ = DriveIndexOf(*letter);
    ::SendMessageA(Item(DriveList), CB_SETCURSEL, driveIndex_, 0);
    SetFolder(start);

    // A remembered drive that cannot be reached now is passed over without a
    // word: the load step also runs for the hidden owner window, which must
    // never show anything.
    if (const auto letter = DriveLetterOf(GetSetting("Drive"))) SelectDrive(*letter, false);
    const std::string rememberedFolder = GetSetting("Dir");
    if (!rememberedFolder.empty() && IsFolder(rememberedFolder)) {
        const std::string full = FullFolderPath(rememberedFolder);
        if (!full.empty() && full != folder_) SetFolder(full);
    }

    if (const auto pattern = State.Args[2]) patternList_ = *pattern;
    FillFileList();
    return TRUE;
}

void FileBrowserForm::CreateControls() {
    RegisterPictureBoxClass();
    const int dpi = dpi_;
    // Creation order is the tab order.
    AddControl(hwnd_, "COMBOBOX", "",
               WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS,
               {120, 120, 1935, 315 + 2400}, DriveList, dpi);
    HWND dir = AddControl(hwnd_, "LISTBOX", "",
                          WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS |
                              LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT,
                          {120, 480, 1935, 1665}, FolderList, dpi, WS_EX_CLIENTEDGE);
    ::SetWindowSubclass(dir, FolderListProc, 1, reinterpret_cast<DWORD_PTR>(this));
    AddControl(hwnd_, "LISTBOX", "",
               WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_HASSTRINGS |
                   LBS_NOINTEGRALHEIGHT,
               {2160, 120, 2415, 2040}, FileList, dpi, WS_EX_CLIENTEDGE);
    AddControl(hwnd_, "STATIC", "", WS_VISIBLE | SS_OWNERDRAW, kPreviewBox, PreviewBox, dpi,
               WS_EX_CLIENTEDGE);
    AddControl(hwnd_, "STATIC", "", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, {4680, 240, 100, 100},
               PreviewLabel, dpi);
    SetLabelText(PreviewLabel, "Vorschau:", true);
    AddControl(hwnd_, "BUTTON", "OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
               {4800, 2400, 1455, 375}, OkButton, dpi);
    AddControl(hwnd_, "BUTTON", "Abbrechen", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
               {3240, 2400, 1455, 375}, CancelButton, dpi);
    AddControl(hwnd_, "STATIC", "", WS_VISIBLE | SS_OWNERDRAW, kSourcePictureInitial, SourcePicture, dpi);
    sourceSize_ = {TwipsToPixels(kSourcePictureInitial.width, dpi), TwipsToPixels(kSourcePictureInitial.height, dpi)};
    AddControl(hwnd_, "STATIC", "", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, {120, 2400, 100, 100},
               SizeLabel, dpi);
    SetLabelText(SizeLabel, "Dateigröße:", true);
    AddControl(hwnd_, "STATIC", "", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, {120, 2880, 6255, 255},
               StatusLabel, dpi);
    HWND frame = AddControl(hwnd_, kPictureBoxClass, "", WS_VISIBLE | WS_CLIPCHILDREN, kNoPreviewFrame,
                            NoPreviewFrame, dpi, WS_EX_CLIENTEDGE);
    HWND symbol =
        AddControl(frame, "STATIC", "", WS_VISIBLE | SS_ICON | SS_CENTERIMAGE, kNoPreviewSymbol, NoPreviewSymbol, dpi);
    noPreviewIcon_.reset(static_cast<HICON>(::LoadImageA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_NOPREVIEW), IMAGE_ICON, 32, 32, 0)));
    if (noPreviewIcon_)
        ::SendMessageA(symbol, STM_SETICON, reinterpret_cast<WPARAM>(noPreviewIcon_.get()), 0);
    ::SetWindowPos(symbol, nullptr, TwipsToPixels(kNoPreviewSymbol.left, dpi),
                   TwipsToPixels(kNoPreviewSymbol.top, dpi), TwipsToPixels(kNoPreviewSymbol.width, dpi),
                   TwipsToPixels(kNoPreviewSymbol.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);

    FillDriveList();
}

void FileBrowserForm::SetLabelText(int id, const std::string& text, bool sizeToText) {
    HWND label = Item(id);
    ::SetWindowTextA(label, text.c_str());
    if (!sizeToText) return;
    SIZE size{};
    {
        WindowDc dc(label);
        if (!dc.get()) return;
        HGDIOBJ old =
            ::SelectObject(dc.get(), font_ ? font_.get() : ::GetStockObject(DEFAULT_GUI_FONT));
        ::GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        ::SelectObject(dc.get(), old);
    }
    ::SetWindowPos(label, nullptr, 0, 0, size.cx + 1, size.cy, SWP_NOMOVE | SWP_NOZORDER |
                                                                  SWP_NOACTIVATE);
    ::InvalidateRect(label, nullptr, TRUE);
}

// --- drives --------------------------------------------------------------------

void FileBrowserForm::FillDriveList() {
    HWND list = Item(DriveList);
    const DWORD drives = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        const char letter = static_cast<char>('A' + i);
        const std::string root = std::string(1, letter) + ":\\";
        const UINT type = ::GetDriveTypeA(root.c_str());
        // Floppy drives are not asked for a label: that would spin them up.
        const bool floppy = type == DRIVE_REMOVABLE && (letter == 'A' || letter == 'B');
        const std::string text = DriveEntryText(letter, floppy ? std::string() : VolumeLabel(root));
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

int FileBrowserForm::DriveIndexOf(char letter) const {
    HWND list = Item(DriveList);
    const int count = static_cast<int>(::SendMessageA(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (DriveLetterOf(ListText(list, i, true)) == letter) return i;
    return -1;
}

// Makes the drive of `letter` current in the drive list and switches the
// folder list to it; false when the drive is not in the list or not ready.
bool FileBrowserForm::SelectDrive(char letter, bool tellUser) {
    const int index = DriveIndexOf(letter);
    if (index < 0) return false;
    if (index == driveIndex_) return true;
    if (!tellUser && !DriveIsReady(letter)) return false;
    driveIndex_ = index;
    ::SendMessageA(Item(DriveList), CB_SETCURSEL, index, 0);
    OnDriveChanged(tellUser);
    return true;
}

void FileBrowserForm::OnDriveChanged(bool tellUser) {
    const auto letter = DriveLetterOf(ListText(Item(DriveList), driveIndex_, true));
    if (!letter) return;
    if (!DriveIsReady(*letter)) {
        // The drive list keeps showing the new drive; the folder stays.
        if (tellUser)
            ShowMessage("Laufwerk nicht bereit oder verfügbar!", "Tavrino", MB_OK, hwnd_);
        return;
    }
    // The drive's own current folder, or its root when that folder has gone.
    const std::string folder = CurrentFolderOfDrive(*letter);
    if (!SetFolder(folder)) SetFolder(std::string(1, *letter) + ":\\");
}

// --- folders -------------------------------------------------------------------

bool FileBrowserForm::SetFolder(const std::string& folder) {
    if (folder.empty() || !IsFolder(folder)) return false;
    if (FolderChain(folder).empty()) return false;
    const bool changed = folder != folder_;
    folder_ = folder;
    FillFolderList();
    if (changed) OnFolderChanged();
    return true;
}

void FileBrowserForm::FillFolderList() {
    HWND list = Item(FolderList);
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    folderEntries_.clear();
    folderGlyphs_.clear();
    folderLevels_.clear();

    const auto chain = FolderChain(folder_);
    for (std::size_t i = 0; i < chain.size(); ++i) {
        folderEntries_.push_back(chain[i]);
        folderGlyphs_.push_back(i == 0 ? FolderGlyph::Drive : FolderGlyph::Open);
        folderLevels_.push_back(static_cast<int>(i));
    }
    currentFolderIndex_ = static_cast<int>(chain.size()) - 1;

    // The subfolders, sorted without regard to case.
    std::vector<std::string> subfolders;
    WIN32_FIND_DATAA data{};
    UniqueFindHandle find(::FindFirstFileA(JoinPath(folder_, "*").c_str(), &data));
    if (find) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            const std::string name = CutAtNul(data.cFileName, sizeof data.cFileName);
            if (name == "." || name == "..") continue;
            subfolders.push_back(name);
        } while (::FindNextFileA(find.get(), &data));
    }
    find.reset();
    std::sort(subfolders.begin(), subfolders.end(), [](const std::string& a, const std::string& b) {
        return ::lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    for (const auto& name : subfolders) {
        folderEntries_.push_back(JoinPath(folder_, name));
        folderGlyphs_.push_back(FolderGlyph::Closed);
        folderLevels_.push_back(static_cast<int>(chain.size()));
    }

    deepestFolderLevel_ = folderLevels_.empty() ? 0 : folderLevels_.back();
    for (std::size_t i = 0; i < folderEntries_.size(); ++i) {
        const std::string text = FolderDisplayName(folderEntries_[i], i == 0);
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    ::SendMessageA(list, LB_SETCURSEL, currentFolderIndex_, 0);
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void FileBrowserForm::OpenFolderEntry(int index) {
    if (index < 0 || index >= static_cast<int>(folderEntries_.size())) return;
    // A folder that cannot be opened (gone, no access) leaves the list as it was.
    if (!SetFolder(folderEntries_[index]))
        ::SendMessageA(Item(FolderList), LB_SETCURSEL, currentFolderIndex_, 0);
}

void FileBrowserForm::OnFolderChanged() { FillFileList(); }

LRESULT CALLBACK FileBrowserForm::FolderListProc(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* form = reinterpret_cast<FileBrowserForm*>(data);
    // Enter is OK (the window's default button) while OK is enabled; while it
    // is not, Enter opens the highlighted folder.
    const bool enterOpensFolder = !::IsWindowEnabled(form->Item(OkButton));
    if (message == WM_GETDLGCODE && lParam && enterOpensFolder) {
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
            return ::DefSubclassProc(hwnd, message, wParam, lParam) | DLGC_WANTMESSAGE;
    }
    if (message == WM_KEYDOWN && wParam == VK_RETURN && enterOpensFolder) {
        form->OpenFolderEntry(static_cast<int>(::SendMessageA(hwnd, LB_GETCURSEL, 0, 0)));
        return 0;
    }
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, FolderListProc, 1);
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

// --- files ---------------------------------------------------------------------

void FileBrowserForm::FillFileList() {
    HWND list = Item(FileList);
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    std::set<std::string> seen;  // a file that matches two patterns is listed once
    for (const auto& pattern : SplitFilePatterns(patternList_)) {
        WIN32_FIND_DATAA data{};
        UniqueFindHandle find(::FindFirstFileA(JoinPath(folder_, pattern).c_str(), &data));
        if (!find) continue;
        do {
            if (data.dwFileAttributes &
                (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
                continue;
            const std::string name = CutAtNul(data.cFileName, sizeof data.cFileName);
            if (!seen.insert(ToLowerCp1252(name)).second) continue;
            ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        } while (::FindNextFileA(find.get(), &data));
    }
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

std::string FileBrowserForm::SelectedPath() const {
    HWND list = Item(FileList);
    const int index = static_cast<int>(::SendMessageA(list, LB_GETCURSEL, 0, 0));
    return JoinPath(folder_, index >= 0 ? ListText(list, index, false) : std::string());
}

SIZE FileBrowserForm::SourceSize() const { return sourceSize_; }

void FileBrowserForm::OnFileChosen() {
    const std::string path = SelectedPath();
    ::ShowWindow(Item(PreviewBox), SW_SHOW);
    ::ShowWindow(Item(NoPreviewFrame), SW_HIDE);

    if (!HasPreviewType(path)) {
        sourcePicture_.reset();
        previewShown_ = false;
        ::InvalidateRect(Item(SourcePicture), nullptr, TRUE);
        SetLabelText(SizeLabel, "Vorschau nicht möglich", true);
        ::ShowWindow(Item(PreviewBox), SW_HIDE);
        ::SetWindowPos(Item(NoPreviewFrame), HWND_TOP, TwipsToPixels(kPreviewBox.left, dpi_),
                       TwipsToPixels(kPreviewBox.top, dpi_), 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        ::ShowWindow(Item(NoPreviewFrame), SW_SHOW);
        return;
    }

    previewShown_ = false;
    // A picture that cannot be loaded leaves the previous one in SourcePicture.
    if (auto picture = LoadPictureFile(path)) {
        const SIZE size = PictureSizePixels(picture.get(), dpi_);
        sourcePicture_ = std::move(picture);
        sourceSize_ = size;
        ::SetWindowPos(Item(SourcePicture), nullptr, 0, 0, size.cx, size.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::InvalidateRect(Item(SourcePicture), nullptr, TRUE);
    }
    previewShown_ = true;
    ::InvalidateRect(Item(PreviewBox), nullptr, TRUE);

    const SIZE size = SourceSize();
    SetLabelText(SizeLabel, PictureSizeText(size.cx, size.cy), true);
    if (checkSize_) {
        if (PictureHasRequiredSize(requiredWidth_, requiredHeight_, size.cx, size.cy)) {
            ::EnableWindow(Item(OkButton), TRUE);
            SetLabelText(StatusLabel, "", false);
        } else {
            ::EnableWindow(Item(OkButton), FALSE);
            SetLabelText(StatusLabel, SizeMismatchText(requiredWidth_, requiredHeight_), false);
        }
    }
}

void FileBrowserForm::OnOkButton() {
    std::string folder, name, extension;
    const std::string path = SelectedPath();
    SplitPath(path, folder, name, extension);
    const bool selected = !name.empty() || !extension.empty();
    const bool copied =
        selected && ::CopyFileA(path.c_str(), (State.TargetBase + "." + extension).c_str(), FALSE);
    // The window goes from the screen while the result is held for the front end.
    ::ShowWindow(hwnd_, SW_HIDE);
    const SIZE size = SourceSize();
    // Only a file that really arrived at the target is reported as success.
    WritePictureDialogResult(extension, std::to_string(size.cx), std::to_string(size.cy),
                             copied ? "0" : "1");
    ResultHandOver();
    RememberPlace();
    EndProgram();
}

void FileBrowserForm::OnCancelButton() {
    WritePictureDialogResult("", "", "", "1");
    ::ShowWindow(hwnd_, SW_HIDE);
    ResultHandOver();
    RememberPlace();
    EndProgram();
}

void FileBrowserForm::RememberPlace() {
    SaveSetting("Drive", ListText(Item(DriveList), driveIndex_, true));
    SaveSetting("Dir", folder_);
}

// --- drawing -------------------------------------------------------------------

void FileBrowserForm::DrawGlyph(HDC dc, int x, int y, FolderGlyph glyph) {
    const int s = TwipsToPixels(225, dpi_);  // 15 pixels on a standard display
    UniqueGdiObject pen(::CreatePen(PS_SOLID, 1, RGB(128, 128, 0)));
    UniqueGdiObject fill(::CreateSolidBrush(glyph == FolderGlyph::Drive ? RGB(192, 192, 192)
                                                                        : RGB(255, 223, 96)));
    HGDIOBJ oldPen = ::SelectObject(dc, pen.get());
    HGDIOBJ oldBrush = ::SelectObject(dc, fill.get());
    if (glyph == FolderGlyph::Drive) {
        ::Rectangle(dc, x, y + s / 3, x + s, y + s - 2);
        ::SetPixel(dc, x + s - 4, y + s - 5, RGB(0, 160, 0));
    } else {
        const POINT tab[] = {{x, y + 3}, {x + s / 3, y + 3}, {x + s / 3 + 2, y + 5}, {x, y + 5}};
        ::Polygon(dc, tab, 4);
        ::Rectangle(dc, x, y + 5, x + s, y + s - 1);
        if (glyph == FolderGlyph::Open) {
            const POINT front[] = {{x + 3, y + 8}, {x + s + 1, y + 8}, {x + s - 2, y + s - 1},
                                   {x, y + s - 1}};
            ::Polygon(dc, front, 4);
        }
    }
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
}

void FileBrowserForm::DrawFolderEntry(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& r = item.rcItem;
    if (item.itemAction == ODA_FOCUS) {
        ::DrawFocusRect(dc, &r);
        return;
    }
    const bool selected = item.itemState & ODS_SELECTED;
    ::FillRect(dc, &r, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int index = static_cast<int>(item.itemID);
    if (index < 0 || index >= static_cast<int>(folderEntries_.size())) return;
    // 10 pixels a level on a standard display; deep folders get less, so
    // that the deepest entry begins within the list's first third and every
    // name keeps its room.
    const int indent = FolderLevelIndent(deepestFolderLevel_, TwipsToPixels(150, dpi_), (r.right - r.left) / 3);
    const int glyphSize = TwipsToPixels(225, dpi_);
    const int x = r.left + 2 + folderLevels_[index] * indent;
    DrawGlyph(dc, x, r.top + (r.bottom - r.top - glyphSize) / 2, folderGlyphs_[index]);
    const std::string text = ListText(item.hwndItem, index, false);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT textRect = r;
    textRect.left = x + glyphSize + 3;
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &r);
}

void FileBrowserForm::DrawItem(const DRAWITEMSTRUCT& item) {
    switch (item.CtlID) {
        case FolderList:
            DrawFolderEntry(item);
            break;
        case PreviewBox:
        case SourcePicture: {
            RECT r;
            ::GetClientRect(item.hwndItem, &r);
            ::FillRect(item.hDC, &r, ::GetSysColorBrush(COLOR_BTNFACE));
            // The picture is stretched to the whole inner area; the aspect ratio is not kept.
            if (sourcePicture_ && (item.CtlID == SourcePicture || previewShown_))
                DrawPicture(sourcePicture_.get(), item.hDC, 0, 0, r.right, r.bottom);
            break;
        }
    }
}

void FileBrowserForm::PaintSeparator() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    const int left = TwipsToPixels(kLineLeft, dpi_), right = TwipsToPixels(kLineRight, dpi_);
    int top = TwipsToPixels(kLineTop, dpi_), bottom = TwipsToPixels(kLineBottom, dpi_);
    if (bottom == top) ++bottom;
    UniqueGdiObject shadow(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
    UniqueGdiObject light(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)));
    HGDIOBJ old = ::SelectObject(dc, shadow.get());
    ::MoveToEx(dc, left, top, nullptr);
    ::LineTo(dc, right, top);
    ::SelectObject(dc, light.get());
    ::MoveToEx(dc, left, bottom, nullptr);
    ::LineTo(dc, right, bottom);
    ::SelectObject(dc, old);
    ::EndPaint(hwnd_, &ps);
}

INT_PTR FileBrowserForm::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MEASUREITEM: {
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (item->CtlID != FolderList) return FALSE;
            item->itemHeight = static_cast<UINT>(TwipsToPixels(255, dpi_));
            ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        case WM_DRAWITEM:
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_PAINT:
            PaintSeparator();
            return TRUE;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (id == DriveList && code == CBN_SELCHANGE) {
                const int index = static_cast<int>(::SendMessageA(Item(DriveList), CB_GETCURSEL, 0, 0));
                if (index >= 0 && index != driveIndex_) {
                    driveIndex_ = index;
                    OnDriveChanged(true);
                }
            } else if (id == FolderList && code == LBN_DBLCLK) {
                OpenFolderEntry(static_cast<int>(::SendMessageA(Item(FolderList), LB_GETCURSEL, 0, 0)));
            } else if (id == FileList && code == LBN_SELCHANGE) {
                OnFileChosen();
            } else if (id == OkButton) {
                // Enter reaches here too; it acts only while OK is enabled.
                if (::IsWindowEnabled(Item(OkButton))) OnOkButton();
            } else if (id == CancelButton) {
                OnCancelButton();
            }
            return TRUE;
        }
        case WM_CLOSE:
            // The close box: remembered folder, no result.
            RememberPlace();
            ::DestroyWindow(hwnd_);
            return TRUE;
        case WM_DESTROY:
            ProgramWindowDestroyed();
            return FALSE;
    }
    return FALSE;
}

// Fixed single border with a caption and a system menu, no minimise or maximise box.
const FormStyle kStyle = {WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_APPWINDOW,
                          "Tavrino"};

FileBrowserForm& Form() {
    static FileBrowserForm form;  // lives until the program ends
    return form;
}

}  // namespace

void ShowFileBrowser() {
    HWND window = FileBrowserWindow();
    if (!window) return;
    ::SetWindowTextA(window, State.DialogTitle.c_str());
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
}

HWND FileBrowserWindow() {
    static HWND window = CreateForm(kStyle, nullptr, FormProc<FileBrowserForm>,
                                    reinterpret_cast<LPARAM>(&Form()));
    return window;
}

}  // namespace tav
