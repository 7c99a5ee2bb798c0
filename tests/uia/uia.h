// A small UI-automation library for the system tests: it starts the programs
// under test with an exact command line and drives their windows from outside,
// the way a front end or a person would. Plain Win32; correct on Windows as
// well as under Wine.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/win/raii.h"

namespace uia {

using Ms = std::chrono::milliseconds;
constexpr Ms kDefaultTimeout{10000};

// Polls `condition` until it holds or `timeout` has passed; true when it held.
bool WaitUntil(const std::function<bool()>& condition, Ms timeout = kDefaultTimeout,
               Ms interval = Ms{10});

// A started program. The destructor kills it if it is still running.
class Process {
public:
    Process() = default;
    Process(HANDLE process, DWORD pid) : process_(process), pid_(pid) {}
    // A program that could not be started, with the platform's error code.
    static Process NotStarted(DWORD error) {
        Process p;
        p.startError_ = error;
        return p;
    }
    ~Process() { Kill(); }
    Process(Process&& other) noexcept = default;
    Process& operator=(Process&& other) noexcept {
        if (this != &other) {
            Kill();
            process_ = std::move(other.process_);
            pid_ = std::exchange(other.pid_, 0);
            startError_ = other.startError_;
        }
        return *this;
    }

    bool Started() const { return static_cast<bool>(process_); }
    // Why the start failed (0 when it did not).
    DWORD StartError() const { return startError_; }
    DWORD Pid() const { return pid_; }
    bool Running() const;
    // Waits for the end; the exit code, or nothing on timeout.
    std::optional<DWORD> WaitForExit(Ms timeout = kDefaultTimeout) const;
    void Kill();

private:
    tav::UniqueHandle process_;
    DWORD pid_ = 0;
    DWORD startError_ = 0;
};

// The folder a front end starts the programs from unless a test names
// another: D:\Front End, a folder of its own on another drive than the
// system's (created when it is missing).
std::string FrontEndFolder();

// Starts `exe` with the command line `"exe" tail` (the tail exactly as given)
// in the working folder `cwd`.
Process Start(const std::string& exe, const std::string& tail,
              const std::string& cwd = FrontEndFolder());
// Starts with a whole command line of the caller's making.
Process StartCommandLine(const std::string& exe, const std::string& commandLine,
                         const std::string& cwd = FrontEndFolder());

// --- windows ---------------------------------------------------------------
struct WindowQuery {
    DWORD pid = 0;                  // 0: any process
    std::string caption;            // empty: any caption
    std::string windowClass;        // empty: any class
    bool visibleOnly = true;
};
// Top-level windows that match now.
std::vector<HWND> FindWindows(const WindowQuery& query);
// Waits for a top-level window; nullptr on timeout.
HWND WaitForWindow(const WindowQuery& query, Ms timeout = kDefaultTimeout);
// Waits until no top-level window matches; true when gone in time.
bool WaitForWindowGone(const WindowQuery& query, Ms timeout = kDefaultTimeout);

// Direct or indirect child windows.
HWND FindControl(HWND parent, int id);
HWND FindControlByText(HWND parent, const std::string& text, const std::string& windowClass = "");
std::vector<HWND> Children(HWND parent, const std::string& windowClass = "");

std::string ClassOf(HWND hwnd);
std::string TextOf(HWND hwnd);
bool IsVisible(HWND hwnd);
bool IsEnabled(HWND hwnd);
RECT WindowRectOnScreen(HWND hwnd);

// --- input -------------------------------------------------------------------
// Posts a click to a button (BM_CLICK), without waiting for its handler.
void Click(HWND button);
// Posts WM_COMMAND(id) to a window, as a click on control `id` would.
void Command(HWND window, int id);
// Posts Enter / Esc to the window with the keyboard focus in `window`'s thread.
void PressEnter(HWND window);
void PressEscape(HWND window);
// Posts WM_CLOSE (the close box or the system menu's Close).
void CloseBox(HWND window);

// List boxes and combo boxes: the entries' texts, and choosing one like a user
// (the selection is made and the parent is notified).
std::vector<std::string> ListItems(HWND listBox);
std::vector<std::string> ComboItems(HWND comboBox);
int ListSelection(HWND listBox);
bool SelectListItem(HWND listBox, const std::string& text);
bool SelectListIndex(HWND listBox, int index);
bool DoubleClickListItem(HWND listBox, const std::string& text);
bool SelectComboItem(HWND comboBox, const std::string& text);

// --- the platform's dialogs ----------------------------------------------------
// Open/save dialogs: the file-name edit (0x47c's edit under Wine, 0x480 on Windows).
HWND FileDialogNameEdit(HWND dialog);
bool SetFileDialogName(HWND dialog, const std::string& path);
void ConfirmDialog(HWND dialog);  // IDOK
void CancelDialog(HWND dialog);   // IDCANCEL

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string title;
    std::string text;
    std::vector<std::string> buttons;
};
// Waits for a message box (a dialog with a static text) of the process.
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, Ms timeout = kDefaultTimeout);
// Presses the message box's button with the given ID (IDOK, IDYES, ...).
void AnswerMessageBox(HWND box, int buttonId);

// --- files ---------------------------------------------------------------------
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
std::optional<std::string> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// Waits until the file exists and is readable; its contents.
std::optional<std::string> WaitForFile(const std::string& path, Ms timeout = kDefaultTimeout);
// Waits until the file is gone.
bool WaitForFileGone(const std::string& path, Ms timeout = kDefaultTimeout);
// Removes a folder tree (read-only files included); true when it is gone.
bool RemoveTree(const std::string& path);
// Creates a folder and its missing parents.
bool MakeFolders(const std::string& path);

// The temp folder of the current user (ends in a backslash).
std::string TempFolder();
// Where the programs under test are: the folder in %TAV_PROGRAMS% (default C:\tav).
std::string ProgramsFolder();
std::string MainProgram();       // ProgramsFolder() + "\\Tavrino2.exe"
std::string UninstallProgram();  // ProgramsFolder() + "\\Tav_uninstall.exe"

// Saves a picture of the screen as a BMP file (for people to look at).
bool SaveScreenshot(const std::string& bmpPath);

}  // namespace uia
