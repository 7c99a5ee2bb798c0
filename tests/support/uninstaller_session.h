// Driving a running uninstaller from outside, as its user would: its
// question, the notes it shows, and its closing message.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/uia/uia.h"

namespace systest {

constexpr uia::Ms kBoxTimeout{20000};

// A running uninstaller, found by its question box (the main program starts it).
struct Uninstaller {
    uia::Process process;
    uia::MessageBoxInfo question;
};

inline std::optional<Uninstaller> WaitForQuestion() {
    std::optional<uia::MessageBoxInfo> box;
    uia::WaitUntil(
        [&] {
            box = uia::WaitForMessageBox(0, uia::Ms{0});
            return box && box->title == "Uninstaller";
        },
        kBoxTimeout);
    if (!box || box->title != "Uninstaller") return std::nullopt;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(box->hwnd, &pid);
    HANDLE h = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                             FALSE, pid);
    if (!h) return std::nullopt;
    return Uninstaller{uia::Process(h, pid), *box};
}

inline void Answer(const uia::MessageBoxInfo& box, int id) {
    uia::AnswerMessageBox(box.hwnd, id);
    uia::WaitUntil([&] { return !::IsWindow(box.hwnd) || !::IsWindowVisible(box.hwnd); });
}

// After Yes: every "Hinweis" and "Fehler" box is answered with OK and kept as
// "title: text", until the closing message comes or the uninstaller ends
// without one.
struct Outcome {
    std::vector<std::string> notes;
    std::optional<std::string> closing;
    std::optional<DWORD> exitCode;
};

inline Outcome AnswerYesAndCollect(Uninstaller& u) {
    Outcome out;
    Answer(u.question, IDYES);
    for (int i = 0; i < 10 && !out.closing; ++i) {
        std::optional<uia::MessageBoxInfo> box;
        uia::WaitUntil([&] { return (box = uia::WaitForMessageBox(u.process.Pid(), uia::Ms{0})) || !u.process.Running(); },
                       kBoxTimeout);
        if (!box) break;
        if (box->title == "Quorlend Uninstaller") out.closing = box->text;
        else out.notes.push_back(box->title + ": " + box->text);
        Answer(*box, IDOK);
    }
    out.exitCode = u.process.WaitForExit();
    return out;
}

}  // namespace systest
