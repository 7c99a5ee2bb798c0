// Drives the file browser with picture preview as a person does: its
// controls by id, picking a file, the keyboard focus, and the "Dialog"
// section it reports.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "main/dialogs/file_browser_ids.h"
#include "main/dialogs/remembered_settings.h"
#include "tests/support/display.h"
#include "tests/support/system_test.h"

namespace systest {

// Writes files into `folder`.
inline void Put(const std::string& folder, std::initializer_list<std::pair<const char*, std::string>> files) {
    for (const auto& [name, bytes] : files) ASSERT_TRUE(!bytes.empty() && uia::WriteFileBytes(folder + "\\" + name, bytes)) << name;
}
inline std::string Size(int w, int h) { return std::to_string(w) + " x " + std::to_string(h); }
inline std::string Reported(const std::string& extension, const std::string& width, const std::string& height, char error) {
    return "[Dialog]\r\nExtension=" + extension + "\r\nWidth=" + width + "\r\nHeight=" + height + "\r\nError=" + error + "\r\n";
}
inline std::string Result() { return uia::WaitForFile(ResultFile()).value_or("<none>"); }

struct Browser {
    uia::Process process;
    HWND window = nullptr;

    HWND Item(int id) const { return uia::FindControl(window, id); }
    std::string Text(int id) const { return uia::TextOf(Item(id)); }
    std::vector<std::string> Files() const { return uia::ListItems(Item(tav::browser::FileList)); }
    std::vector<std::string> Folders() const { return uia::ListItems(Item(tav::browser::FolderList)); }
    // Selects a file like a click on it and waits until the preview text says `sizeLabelText`.
    bool Pick(const std::string& file, const std::string& sizeLabelText) const {
        return uia::SelectListItem(Item(tav::browser::FileList), file) &&
               uia::WaitUntil([&] { return Text(tav::browser::SizeLabel) == sizeLabelText; }, uia::Ms{5000});
    }
    // Gives a control the keyboard focus, as Tab would, and asks again while
    // the focus is elsewhere: without a window manager, a focus event of the X
    // server that arrives late can take the activation, and with it the
    // focus, from a window that has just been shown (a user would click it).
    ::testing::AssertionResult Focus(int id) const {
        HWND control = Item(id);
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        int polls = 0;
        if (uia::WaitUntil([&] {
                if (::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus == control)
                    return true;
                if (polls++ % 10 == 0) ::PostMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
                return false;
            }))
            return ::testing::AssertionSuccess();
        char text[200];
        wsprintfA(text, "window %p control %p: active %p focus %p foreground %p", window, control, info.hwndActive,
                  info.hwndFocus, ::GetForegroundWindow());
        return ::testing::AssertionFailure() << text;
    }
    void Screenshot(const char* name) const {
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        uia::SaveScreenshot(ScreenshotPath(name));
    }
    void CloseBoxAndEnd() {
        uia::CloseBox(window);
        EXPECT_EQ(process.WaitForExit(uia::Ms{5000}), 0u);
    }
};

class FileBrowser : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = ScratchFolder();
        pictures_ = scratch_ + "\\bilder";
        target_ = scratch_ + "\\ziel\\bild";
        uia::MakeFolders(pictures_);
        uia::MakeFolders(scratch_ + "\\ziel");
        tav::SaveSetting("Drive", "c:");  // every test starts on the picture folder
        tav::SaveSetting("Dir", pictures_);
        ::DeleteFileA(ResultFile().c_str());
    }
    Browser Open(const std::string& parameters) {
        Browser b{RunMain(parameters)};
        b.window = uia::WaitForWindow({b.process.Pid(), "", "#32770"});
        EXPECT_NE(b.window, nullptr) << parameters;
        return b;
    }
    std::string scratch_, pictures_, target_;
};

}  // namespace systest
