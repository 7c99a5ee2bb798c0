#include "tests/uia/uia.h"

#include <algorithm>
#include <thread>

#include "common/win/raii.h"

namespace uia {
namespace {

using Clock = std::chrono::steady_clock;

struct EnumState {
    const WindowQuery* query;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lParam) {
    auto* s = reinterpret_cast<EnumState*>(lParam);
    const WindowQuery& q = *s->query;
    if (q.visibleOnly && !::IsWindowVisible(hwnd)) return TRUE;
    if (q.pid) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        if (pid != q.pid) return TRUE;
    }
    if (!q.windowClass.empty() && ClassOf(hwnd) != q.windowClass) return TRUE;
    if (!q.caption.empty() && TextOf(hwnd) != q.caption) return TRUE;
    s->found->push_back(hwnd);
    return TRUE;
}

struct ChildState {
    std::vector<HWND>* found;
    const std::string* windowClass;
};

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lParam) {
    auto* s = reinterpret_cast<ChildState*>(lParam);
    if (s->windowClass->empty() || ClassOf(hwnd) == *s->windowClass) s->found->push_back(hwnd);
    return TRUE;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    if (::GetGUIThreadInfo(thread, &info) && info.hwndFocus) return info.hwndFocus;
    return window;
}

void PostKey(HWND window, UINT vk) {
    HWND target = FocusOf(window);
    ::PostMessageA(target, WM_KEYDOWN, vk, 1);
    ::PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
}

void NotifyParent(HWND control, WORD code) {
    HWND parent = ::GetParent(control);
    const int id = ::GetDlgCtrlID(control);
    ::PostMessageA(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, Ms timeout, Ms interval) {
    const auto end = Clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (Clock::now() >= end) return false;
        std::this_thread::sleep_for(interval);
    }
}

// --- Process -------------------------------------------------------------------

bool Process::Running() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(Ms timeout) const {
    if (!process_) return std::nullopt;
    if (::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) !=
        WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

void Process::Kill() {
    if (Running()) {
        ::TerminateProcess(process_.get(), 99);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

std::string FrontEndFolder() {
    const std::string folder = "D:\\Front End";
    MakeFolders(folder);  // again after a test that removed it
    return folder;
}

Process StartCommandLine(const std::string& exe, const std::string& commandLine,
                         const std::string& cwd) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;  // CreateProcessA may write into it
    if (!::CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          cwd.empty() ? nullptr : cwd.c_str(), &si, &pi))
        return Process::NotStarted(::GetLastError());
    // No WaitForInputIdle: a program that shows no window may have finished
    // (and deleted its result file) before that wait would return.
    tav::UniqueHandle thread(pi.hThread);
    return Process(pi.hProcess, pi.dwProcessId);
}

Process Start(const std::string& exe, const std::string& tail, const std::string& cwd) {
    return StartCommandLine(exe, "\"" + exe + "\" " + tail, cwd);
}

// --- windows -------------------------------------------------------------------

std::vector<HWND> FindWindows(const WindowQuery& query) {
    std::vector<HWND> found;
    EnumState state{&query, &found};
    ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
    return found;
}

HWND WaitForWindow(const WindowQuery& query, Ms timeout) {
    HWND hwnd = nullptr;
    WaitUntil(
        [&] {
            const auto found = FindWindows(query);
            if (!found.empty()) hwnd = found.front();
            return hwnd != nullptr;
        },
        timeout);
    return hwnd;
}

bool WaitForWindowGone(const WindowQuery& query, Ms timeout) {
    return WaitUntil([&] { return FindWindows(query).empty(); }, timeout);
}

std::vector<HWND> Children(HWND parent, const std::string& windowClass) {
    std::vector<HWND> found;
    ChildState state{&found, &windowClass};
    ::EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&state));
    return found;
}

HWND FindControl(HWND parent, int id) {
    if (HWND direct = ::GetDlgItem(parent, id)) return direct;
    for (HWND child : Children(parent))
        if (::GetDlgCtrlID(child) == id) return child;
    return nullptr;
}

HWND FindControlByText(HWND parent, const std::string& text, const std::string& windowClass) {
    for (HWND child : Children(parent, windowClass))
        if (TextOf(child) == text) return child;
    return nullptr;
}

std::string ClassOf(HWND hwnd) {
    char buffer[256] = {};
    ::GetClassNameA(hwnd, buffer, sizeof buffer);
    return buffer;
}

std::string TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                          SMTO_ABORTIFHUNG, 5000, &copied);
    text.resize(copied);
    return text;
}

bool IsVisible(HWND hwnd) { return ::IsWindowVisible(hwnd) != FALSE; }
bool IsEnabled(HWND hwnd) { return ::IsWindowEnabled(hwnd) != FALSE; }

RECT WindowRectOnScreen(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r;
}

// --- input -----------------------------------------------------------------------

void Click(HWND button) { ::PostMessageA(button, BM_CLICK, 0, 0); }

void Command(HWND window, int id) {
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
}

void PressEnter(HWND window) { PostKey(window, VK_RETURN); }
void PressEscape(HWND window) { PostKey(window, VK_ESCAPE); }
void CloseBox(HWND window) { ::PostMessageA(window, WM_CLOSE, 0, 0); }

namespace {

// The texts of a list box's or a combo box's entries (count, length and text
// messages). Asked in UTF-16 and converted here: the ANSI messages sent to a
// Unicode control of another process can hand back UTF-16 text under Wine.
std::vector<std::string> EntryTexts(HWND control, UINT countMsg, UINT lengthMsg, UINT textMsg) {
    std::vector<std::string> items;
    const auto count = ::SendMessageW(control, countMsg, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = ::SendMessageW(control, lengthMsg, i, 0);
        if (length < 0) continue;
        std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
        const auto copied = ::SendMessageW(control, textMsg, i, reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(copied < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(copied),
                                                           static_cast<std::size_t>(length)));
        const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                            nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
        if (n > 0)
            ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                                  n, nullptr, nullptr);
        items.push_back(text);
    }
    return items;
}

}  // namespace

std::vector<std::string> ListItems(HWND list) {
    return EntryTexts(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::vector<std::string> ComboItems(HWND combo) {
    return EntryTexts(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

int ListSelection(HWND list) { return static_cast<int>(::SendMessageA(list, LB_GETCURSEL, 0, 0)); }

bool SelectListIndex(HWND list, int index) {
    if (::SendMessageA(list, LB_SETCURSEL, index, 0) == LB_ERR) return false;
    NotifyParent(list, LBN_SELCHANGE);
    return true;
}

bool SelectListItem(HWND list, const std::string& text) {
    const auto items = ListItems(list);
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) return SelectListIndex(list, static_cast<int>(i));
    return false;
}

bool DoubleClickListItem(HWND list, const std::string& text) {
    const auto items = ListItems(list);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] != text) continue;
        ::SendMessageA(list, LB_SETCURSEL, i, 0);
        NotifyParent(list, LBN_SELCHANGE);
        NotifyParent(list, LBN_DBLCLK);
        return true;
    }
    return false;
}

bool SelectComboItem(HWND combo, const std::string& text) {
    const auto items = ComboItems(combo);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] != text) continue;
        ::SendMessageA(combo, CB_SETCURSEL, i, 0);
        NotifyParent(combo, CBN_SELCHANGE);
        NotifyParent(combo, CBN_SELENDOK);
        return true;
    }
    return false;
}

// --- the platform's dialogs ---------------------------------------------------------

HWND FileDialogNameEdit(HWND dialog) {
    if (HWND combo = FindControl(dialog, 0x47c)) {
        const auto edits = Children(combo, "Edit");
        if (!edits.empty()) return edits.front();
        if (ClassOf(combo) == "Edit") return combo;
    }
    if (HWND edit = FindControl(dialog, 0x480)) return edit;
    return nullptr;
}

bool SetFileDialogName(HWND dialog, const std::string& path) {
    HWND edit = FileDialogNameEdit(dialog);
    if (!edit) return false;
    ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    return TextOf(edit) == path;
}

void ConfirmDialog(HWND dialog) { Command(dialog, IDOK); }
void CancelDialog(HWND dialog) { Command(dialog, IDCANCEL); }

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, Ms timeout) {
    std::optional<MessageBoxInfo> info;
    WaitUntil(
        [&] {
            for (HWND dialog : FindWindows({pid, "", "#32770", true})) {
                MessageBoxInfo box;
                box.hwnd = dialog;
                box.title = TextOf(dialog);
                bool hasText = false;
                for (HWND child : Children(dialog)) {
                    const std::string cls = ClassOf(child);
                    if (cls == "Static") {
                        const std::string text = TextOf(child);
                        if (!text.empty()) {
                            box.text = text;
                            hasText = true;
                        }
                    } else if (cls == "Button") {
                        box.buttons.push_back(TextOf(child));
                    } else {
                        hasText = false;  // a file or folder dialog, not a message box
                        break;
                    }
                }
                if (hasText) {
                    info = box;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return info;
}

void AnswerMessageBox(HWND box, int buttonId) { Command(box, buttonId); }

// --- files -------------------------------------------------------------------------

bool FileExists(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    tav::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    tav::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                &written, nullptr);
    return ok && written == bytes.size();
}

std::optional<std::string> WaitForFile(const std::string& path, Ms timeout) {
    std::optional<std::string> contents;
    WaitUntil(
        [&] {
            contents = ReadFileBytes(path);
            return contents.has_value();
        },
        timeout);
    return contents;
}

bool WaitForFileGone(const std::string& path, Ms timeout) {
    return WaitUntil([&] { return ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; },
                     timeout);
}

bool RemoveTree(const std::string& path) {
    const DWORD a = ::GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return true;
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        return ::DeleteFileA(path.c_str()) != FALSE;
    }
    WIN32_FIND_DATAA data{};
    if (tav::UniqueFindHandle find(::FindFirstFileA((path + "\\*").c_str(), &data)); find) {
        do {
            const std::string name = data.cFileName;
            if (name != "." && name != "..") RemoveTree(path + "\\" + name);
        } while (::FindNextFileA(find.get(), &data));
    }
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::RemoveDirectoryA(path.c_str()) != FALSE;
}

bool MakeFolders(const std::string& path) {
    if (FolderExists(path)) return true;
    const auto slash = path.find_last_of('\\');
    if (slash != std::string::npos && slash > 2) MakeFolders(path.substr(0, slash));
    return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE || FolderExists(path);
}

std::string TempFolder() {
    char buffer[MAX_PATH + 1] = {};
    ::GetTempPathA(sizeof buffer, buffer);
    std::string path = buffer;
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

std::string ProgramsFolder() {
    char buffer[MAX_PATH] = {};
    const DWORD n = ::GetEnvironmentVariableA("TAV_PROGRAMS", buffer, sizeof buffer);
    return (n == 0 || n >= sizeof buffer) ? std::string("C:\\tav") : std::string(buffer, n);
}

std::string MainProgram() { return ProgramsFolder() + "\\Tavrino2.exe"; }
std::string UninstallProgram() { return ProgramsFolder() + "\\Tav_uninstall.exe"; }

bool SaveScreenshot(const std::string& bmpPath) {
    HDC screen = ::GetDC(nullptr);
    if (!screen) return false;
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    tav::UniqueMemoryDc memory(::CreateCompatibleDC(screen));
    tav::UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen, w, h));
    HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, w, h, screen, 0, 0, SRCCOPY);
    ::SelectObject(memory.get(), old);
    ::ReleaseDC(nullptr, screen);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const DWORD stride = ((w * 3 + 3) / 4) * 4;
    std::string pixels(static_cast<std::size_t>(stride) * h, '\0');
    ::GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, h, pixels.data(),
                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes += pixels;
    return WriteFileBytes(bmpPath, bytes);
}

}  // namespace uia
