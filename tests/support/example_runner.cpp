// The runner of the reference examples (tests/support/example_runner.h).
#include "tests/support/example_runner.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <utility>

#include "tests/support/fixtures.h"
#include "tests/support/shell_link_reader.h"

namespace systest {
namespace {

const std::string kFrontEnd = "D:\\Front End";
const std::string kStaleResult = "[Search]\r\nResult=alt\r\nFile=alt.txt\r\n";
constexpr char kSettingsKey[] = "Software\\VB and VBA Program Settings\\Tavrino";
constexpr uia::Ms kPersonTimeout{30000};

std::string Ansi(const std::string& utf8) {
    std::wstring wide(utf8.size() + 1, L'\0');
    wide.resize(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                      wide.data(), static_cast<int>(wide.size())));
    std::string ansi(wide.size() * 2 + 1, '\0');
    ansi.resize(::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                      ansi.data(), static_cast<int>(ansi.size()), nullptr, nullptr));
    return ansi;
}

// %USERPROFILE%, %APPDATA%, %WINDIR% as the document uses them in paths and texts.
std::string Expand(const std::string& text) {
    char buffer[4096] = {};
    const DWORD n = ::ExpandEnvironmentStringsA(text.c_str(), buffer, sizeof buffer);
    return n > 0 && n <= sizeof buffer ? std::string(buffer) : text;
}

// "LEFT = RIGHT" (RIGHT empty when there is no " = ").
std::pair<std::string, std::string> SplitAtEquals(const std::string& value) {
    const auto at = value.find(" = ");
    if (at == std::string::npos) return {value, ""};
    return {value.substr(0, at), value.substr(at + 3)};
}

// The "| " lines below a line, each ending in CR LF.
std::string Lines(const ExampleLine& line) {
    std::string text;
    for (const auto& more : line.more) text += Expand(more) + "\r\n";
    return text;
}

// The system time in 100 ns units, now or of a file time.
ULONGLONG SystemTime(FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }
ULONGLONG SystemTime() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return SystemTime(now);
}

bool SameIgnoringCase(const std::string& a, const std::string& b) { return ::lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// A name for the test: the document line and the action.
std::string NameFor(int line, const std::string& run) {
    std::string tag;
    if (run.empty()) tag = "about";
    else if (run.rfind("c,u/", 0) == 0) tag = "uninstaller";
    else if (run[0] == 's') tag = "search";
    else if (run[0] == 'p') tag = "presentation";
    else {
        tag = run.substr(2, run.find(',', 2) - 2);
        if (tag.empty() || !std::all_of(tag.begin(), tag.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            tag = "browser";
    }
    return "line" + std::to_string(line) + "_" + tag;
}

}  // namespace

std::vector<Example> ReadExamples() {
    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_RCDATA);
    if (!found) return {Example{"missing", 0, "the reference is not embedded", {}}};
    const std::string text(static_cast<const char*>(::LockResource(::LoadResource(nullptr, found))),
                           ::SizeofResource(nullptr, found));
    static const std::set<std::string> keys = {"file", "folder", "picture", "with", "run", "window", "message",
                                               "answer", "result", "present", "absent", "shortcut", "wallpaper"};
    std::vector<Example> examples;
    std::istringstream in(text);
    Example* open = nullptr;
    int number = 0;
    for (std::string raw; std::getline(in, raw);) {
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const std::string line = raw.substr(std::min(raw.size(), raw.find_first_not_of(' ')));
        if (!open) {
            if (line == "```example") open = &examples.emplace_back(Example{"", number, "", {}});
            continue;
        }
        if (line == "```") {
            std::string run;
            for (const auto& l : open->lines) if (l.key == "run") run = l.value;
            open->name = NameFor(open->line, run);
            open = nullptr;
        } else if (line.empty()) {
        } else if (line[0] == '|') {
            if (open->lines.empty()) open->error = "a | line without a line above it";
            else open->lines.back().more.push_back(Ansi(line.substr(std::min<std::size_t>(line.size(), 2))));
        } else {
            const auto colon = line.find(':');
            const std::string key = line.substr(0, colon);
            if (colon == std::string::npos || !keys.count(key)) open->error = "unknown line: " + line;
            const std::string value = colon == std::string::npos ? "" : line.substr(colon + 1);
            open->lines.push_back({key, Ansi(value.substr(std::min(value.size(), value.find_first_not_of(' ')))), {}});
        }
    }
    if (open) *open = Example{"unclosed", open->line, "the block is not closed", {}};
    return examples;
}

namespace {

// --- the stage every example starts from ----------------------------------------

// The full paths of a folder's entries.
std::vector<std::string> Paths(const std::string& folder) {
    std::vector<std::string> paths;
    for (const auto& name : Entries(folder)) paths.push_back(folder + "\\" + name);
    return paths;
}

// Lists a folder and every folder above it once: the folder dialog does not
// reliably find a folder on a path that changed a moment ago and was not listed since.
void ListWithAncestors(std::string folder) {
    for (auto cut = folder.size(); cut != std::string::npos && cut >= 2; cut = folder.find_last_of('\\')) {
        folder.resize(cut);
        Entries(folder);
    }
}

}  // namespace

// The front end's folder with Tavrino2 in it, and what lies on C: and D: before any example.
void ExampleRunner::SetUpTestSuite() {
    uia::MakeFolders(kFrontEnd);
    ::CopyFileA(uia::MainProgram().c_str(), (kFrontEnd + "\\Tavrino2.exe").c_str(), FALSE);
    for (const char* root : {"C:", "D:"})
        for (const auto& entry : Paths(root)) OriginalEntries().insert(entry);
}

std::set<std::string>& ExampleRunner::OriginalEntries() {
    static std::set<std::string> entries;
    return entries;
}

void ExampleRunner::SetUp() {
    // A message box left by a failed example belongs to a program that must go.
    for (int i = 0; i < 5; ++i) {
        const auto box = uia::WaitForMessageBox(0, uia::Ms{0});
        if (!box) break;
        DWORD pid = 0;
        ::GetWindowThreadProcessId(box->hwnd, &pid);
        uia::Process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid), pid).Kill();
        uia::WaitUntil([&] { return !::IsWindow(box->hwnd); });
    }
    for (const char* root : {"C:", "D:"})
        for (const auto& entry : Paths(root))
            if (!OriginalEntries().count(entry)) uia::RemoveTree(entry);
    for (const auto& entry : Paths(kFrontEnd))
        if (entry != kFrontEnd + "\\Tavrino2.exe") uia::RemoveTree(entry);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    UnregisterStandIn();
    ASSERT_TRUE(uia::WriteFileBytes(ResultFile(), kStaleResult));
}

void ExampleRunner::Prepare(const ExampleLine& l) {
    const auto [left, right] = SplitAtEquals(l.value);
    const std::string path = Expand(left);
    if (l.key == "folder") {
        ASSERT_TRUE(uia::MakeFolders(path)) << path;
    } else if (l.key == "file" || l.key == "picture") {
        ASSERT_TRUE(uia::MakeFolders(path.substr(0, path.find_last_of('\\')))) << path;
        int width = 0, height = 0;
        if (l.key == "picture") {
            ASSERT_EQ(std::sscanf(right.c_str(), "%d x %d", &width, &height), 2) << l.value;
        }
        const std::string bytes = l.key == "picture" ? Bitmap(width, height)
                                  : l.more.empty()   ? right
                                                     : Lines(l);
        ASSERT_TRUE(uia::WriteFileBytes(path, bytes)) << path;
    } else if (l.key == "with") {
        ASSERT_EQ(l.value.rfind("PowerPoint version ", 0), 0u) << l.value;
        RegisterStandIn(kPresentationClass + "." + l.value.substr(19));
        return;
    }
    folders_.push_back(l.key == "folder" ? path : path.substr(0, path.find_last_of('\\')));
}

// The window the next answer is for: the one just named, or the program's dialog.
HWND ExampleRunner::Current() {
    if (!current_) current_ = uia::WaitForWindow({program_.Pid(), "", "#32770", true}, kPersonTimeout);
    return current_;
}

// The window closes after an answer that ends it.
void ExampleRunner::Closed() {
    HWND w = std::exchange(current_, nullptr);
    uia::WaitUntil([&] { return !::IsWindow(w) || !::IsWindowVisible(w); });
}

HWND ExampleRunner::ListWith(const std::string& entry, uia::Ms timeout) {
    HWND list = nullptr;
    uia::WaitUntil([&] {
        for (HWND candidate : uia::Children(Current(), "ListBox")) {
            const auto items = uia::ListItems(candidate);
            if (std::find(items.begin(), items.end(), entry) != items.end()) list = candidate;
        }
        return list != nullptr;
    }, timeout);
    return list;
}

void ExampleRunner::Answer(const std::string& answer) {
    const auto blank = answer.find(' ');
    const std::string verb = answer.substr(0, blank), what = blank == std::string::npos ? "" : answer.substr(blank + 1);
    HWND w = Current();
    ASSERT_NE(w, nullptr) << "no window for: " << answer;
    if (verb == "type") {
        EXPECT_TRUE(uia::SetFileDialogName(w, Expand(what)));
        uia::ConfirmDialog(w);
    } else if (verb == "ok") {
        HWND button = uia::FindControlByText(w, "OK", "Button");
        button ? uia::Click(button) : uia::Command(w, IDOK);
    } else if (verb == "cancel" || verb == "yes" || verb == "no") {
        uia::Command(w, verb == "cancel" ? IDCANCEL : verb == "yes" ? IDYES : IDNO);
    } else if (verb == "select") {
        HWND list = ListWith(what, uia::Ms{10000});
        ASSERT_NE(list, nullptr) << what;
        uia::SelectListItem(list, what);
        return;
    } else if (verb == "press") {
        HWND button = uia::FindControlByText(w, what, "Button");
        ASSERT_NE(button, nullptr) << what;
        uia::Click(button);
        return;
    } else if (verb == "double-click") {
        HWND list = ListWith(what, kPersonTimeout);
        ASSERT_NE(list, nullptr) << what;
        uia::DoubleClickListItem(list, what);
    } else {
        FAIL() << "unknown answer: " << answer;
    }
    Closed();
}

void ExampleRunner::CheckResult(const ExampleLine& l) {
    const std::string expected = Lines(l);
    if (l.value == "held") {
        // Read as a front end does: while the file is there, until it holds the section.
        std::string seen = "<never there>";
        bool held = false;
        ULONGLONG missedAt = 0;  // the start of the last read that did not find the section
        uia::WaitUntil([&] {
            const ULONGLONG polled = SystemTime();
            const auto bytes = uia::ReadFileBytes(ResultFile());
            if (bytes) seen = *bytes;
            held = bytes == expected;
            if (!held) missedAt = polled;
            return held || (!bytes && !program_.Running());
        }, kPersonTimeout, uia::Ms{5});
        EXPECT_TRUE(held) << "last seen: " << seen;
        // Held for the hand-over: the section appeared after the last read
        // that missed it and not before it was written (the file's own
        // time); from the later of the two until it is seen gone is never
        // shorter than it was really there.
        WIN32_FILE_ATTRIBUTE_DATA data{};
        const ULONGLONG written = held && ::GetFileAttributesExA(ResultFile().c_str(), GetFileExInfoStandard, &data)
                                      ? SystemTime(data.ftLastWriteTime)
                                      : 0;
        EXPECT_TRUE(uia::WaitForFileGone(ResultFile())) << "still there after the hand-over";
        if (held) {
            const double heldFor = static_cast<double>(SystemTime() - std::max(missedAt, written)) / 1e7;
            EXPECT_GE(heldFor, 1.8) << "the front end needs the answer held for two seconds";
        }
    }
    EXPECT_EQ(program_.WaitForExit(kPersonTimeout), 0u) << "the program ends";
    const auto after = uia::ReadFileBytes(ResultFile());
    if (l.value == "kept") EXPECT_EQ(after.value_or("<none>"), expected);
    else if (l.value == "unchanged") EXPECT_EQ(after.value_or("<none>"), kStaleResult);
    else if (l.value == "none" || l.value == "held") EXPECT_EQ(after.value_or("<none>"), "<none>");
    else ADD_FAILURE() << "unknown result: " << l.value;
}

void ExampleRunner::CheckAfterwards(const ExampleLine& l) {
    const auto [left, right] = SplitAtEquals(l.value);
    const std::string path = Expand(left);
    const bool exists = ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (l.key == "absent") {
        EXPECT_FALSE(exists) << path;
    } else if (l.key == "present") {
        EXPECT_TRUE(exists) << path;
        if (!right.empty()) {
            EXPECT_EQ(uia::ReadFileBytes(path).value_or("<missing>"), right) << path;
        }
    } else if (l.key == "wallpaper") {
        const std::string expected = l.value == "none" ? "" : path;
        EXPECT_TRUE(SameIgnoringCase(WallpaperValue(), expected)) << WallpaperValue() << " is not " << expected;
    } else if (l.key == "shortcut") {
        const Shortcut s = ReadShortcut(path);
        ASSERT_TRUE(s.loaded) << path;
        std::string target, arguments, icon;
        for (const auto& field : l.more) {
            const auto colon = field.find(": ");
            const std::string name = field.substr(0, colon), value = Expand(field.substr(colon + 2));
            (name == "target" ? target : name == "arguments" ? arguments : icon) = value;
        }
        EXPECT_TRUE(SameIgnoringCase(s.target, target)) << s.target << " is not " << target;
        EXPECT_EQ(s.arguments, arguments);
        const std::string actualIcon = s.iconFile.empty() ? "" : s.iconFile + "," + std::to_string(s.iconIndex);
        EXPECT_TRUE(SameIgnoringCase(actualIcon, icon)) << actualIcon << " is not " << icon;
        EXPECT_EQ(s.description + s.workingDirectory, "");
    }
}

void ExampleRunner::Play(const Example& example) {
    ASSERT_EQ(example.error, "");
    bool started = false, resultStated = false;
    for (const ExampleLine& l : example.lines) {
        if (HasFatalFailure()) return;
        SCOPED_TRACE(l.key + ": " + l.value);
        if (!started && l.key != "run") {
            ASSERT_TRUE(l.key == "file" || l.key == "folder" || l.key == "picture" || l.key == "with");
            Prepare(l);
        } else if (l.key == "run") {
            ASSERT_FALSE(started) << "one run an example";
            for (const auto& folder : folders_) ListWithAncestors(folder);
            program_ = uia::Start(kFrontEnd + "\\Tavrino2.exe", l.value, kFrontEnd);
            ASSERT_TRUE(program_.Started()) << "start failed with error " << program_.StartError();
            started = true;
        } else if (l.key == "window") {
            current_ = uia::WaitForWindow({program_.Pid(), Expand(l.value), "", true}, kPersonTimeout);
            ASSERT_NE(current_, nullptr) << "no window " << l.value;
        } else if (l.key == "message") {
            // The uninstaller's boxes belong to a process of their own.
            const auto [title, first] = SplitAtEquals(l.value);
            std::optional<uia::MessageBoxInfo> box;
            uia::WaitUntil([&] { return (box = uia::WaitForMessageBox(0, uia::Ms{0})) && box->title == title; },
                           kPersonTimeout);
            ASSERT_TRUE(box && box->title == title) << "no message box " << title;
            std::string text = Expand(first);
            for (const auto& more : l.more) text += "\r\n" + Expand(more);
            EXPECT_EQ(box->text, text);
            current_ = box->hwnd;
        } else if (l.key == "answer") {
            Answer(l.value);
        } else if (l.key == "result") {
            CheckResult(l);
            resultStated = true;
        } else {
            ASSERT_TRUE(resultStated) << "checks come after the result";
            CheckAfterwards(l);
        }
    }
    EXPECT_TRUE(resultStated) << "every example states its result";
}

}  // namespace systest
