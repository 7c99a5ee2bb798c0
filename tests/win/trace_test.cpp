// The opt-in trace (TAVRINO_LOG) as a front end's author uses it: what it says
// about a refused folder, a failing copy and the uninstaller's question, that
// it is whole lines from both programs, that it stops at its limit, and that
// it changes nothing, neither when it is off nor when it cannot be written.
#include <windows.h>
#include <shlobj.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "common/text.h"
#include "common/trace_line.h"
#include "common/win/folders.h"
#include "tests/support/fixtures.h"
#include "tests/support/system_test.h"
#include "tests/support/uninstaller_session.h"

using namespace systest;

namespace {

// TAVRINO_LOG for the programs this test starts (they inherit it).
class TraceVariable {
public:
    explicit TraceVariable(const std::string& value) {
        ::SetEnvironmentVariableA("TAVRINO_LOG", value.c_str());
    }
    ~TraceVariable() { ::SetEnvironmentVariableA("TAVRINO_LOG", nullptr); }
    TraceVariable(const TraceVariable&) = delete;
    TraceVariable& operator=(const TraceVariable&) = delete;
};

struct TraceLine {
    std::string time;
    unsigned long pid = 0;
    std::string program;
    std::string text;
};

// The trace's lines. Every line must have the trace's form and end in CR LF.
std::vector<TraceLine> ReadTrace(const std::string& path) {
    std::vector<TraceLine> lines;
    const auto bytes = uia::ReadFileBytes(path);
    if (!bytes) {
        ADD_FAILURE() << "no trace at " << path;
        return lines;
    }
    EXPECT_TRUE(bytes->empty() || tav::EndsWith(*bytes, "\r\n")) << *bytes;
    static const std::regex form(
        R"(^(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}) \[pid (\d+)\] (Tavrino2|Tav_uninstall): ([^\r\n]*)$)");
    std::size_t pos = 0;
    while (pos < bytes->size()) {
        auto end = bytes->find("\r\n", pos);
        if (end == std::string::npos) end = bytes->size();
        const std::string line = bytes->substr(pos, end - pos);
        pos = end + 2;
        std::smatch m;
        if (!std::regex_match(line, m, form)) {
            ADD_FAILURE() << "not a trace line: " << line;
            continue;
        }
        lines.push_back({m[1], std::stoul(m[2]), m[3], m[4]});
    }
    return lines;
}

std::string Texts(const std::vector<TraceLine>& lines) {
    std::string all;
    for (const auto& l : lines) all += l.program + " " + std::to_string(l.pid) + ": " + l.text + "\n";
    return all;
}

bool Has(const std::vector<TraceLine>& lines, const std::string& program, const std::string& part) {
    for (const auto& l : lines)
        if (l.program == program && l.text.find(part) != std::string::npos) return true;
    return false;
}

std::string Documents() {
    char buffer[MAX_PATH] = {};
    return ::SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, buffer) == S_OK ? buffer : "";
}

std::set<std::string> Listing(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA data{};
    tav::UniqueFindHandle find(::FindFirstFileA((folder + "\\*").c_str(), &data));
    if (!find) return names;
    do names.insert(data.cFileName);
    while (::FindNextFileA(find.get(), &data));
    return names;
}

// How long the result file of a copydir stays for the front end, as it sees
// it by polling: from its first sight to its removal.
std::optional<DWORD> CopyDirHandOver(const std::string& source, const std::string& destination) {
    RemoveResultFile();
    uia::Process p = RunMain("c,copydir," + source + "," + destination);
    if (!uia::WaitForFile(ResultFile())) return std::nullopt;
    const DWORD seen = ::GetTickCount();
    if (!uia::WaitForFileGone(ResultFile())) return std::nullopt;
    const DWORD held = ::GetTickCount() - seen;
    EXPECT_EQ(p.WaitForExit(), 0u);
    return held;
}

class Trace : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = ScratchFolder();
        trace_ = scratch_ + "\\trace.log";
    }
    std::string scratch_, trace_;
};

}  // namespace

TEST_F(Trace, ARefusedKillfolderOfDocumentsSaysTheStringTheFolderAndTheRule) {
    const std::string documents = Documents();
    ASSERT_FALSE(documents.empty());
    ASSERT_TRUE(uia::WriteFileBytes(documents + "\\bleibt.txt", "bleibt"));
    const std::string parameters = "c,killfolder," + documents;
    {
        TraceVariable on(trace_);
        RunQuietly(parameters);
    }
    EXPECT_TRUE(uia::FileExists(documents + "\\bleibt.txt"));
    const auto lines = ReadTrace(trace_);
    EXPECT_TRUE(Has(lines, "Tavrino2",
                    "started; parameter string (" + std::to_string(parameters.size()) +
                        " characters): " + parameters))
        << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tavrino2", "action: c,killfolder")) << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tavrino2", "killfolder: the folder operand \"" + documents + "\" is \"" + documents + "\": refused: "))
        << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tavrino2", "refused: rule: a protected folder, matched the protected folder \"" + documents + "\""))
        << Texts(lines);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().text, "the program ends");
}

TEST_F(Trace, ARefusedKillPatternInDocumentsSaysTheFolderAndTheRule) {
    const std::string documents = Documents();
    ASSERT_FALSE(documents.empty());
    ASSERT_TRUE(uia::WriteFileBytes(documents + "\\bleibt.txt", "bleibt"));
    {
        TraceVariable on(trace_);
        RunQuietly("c,kill," + documents + "\\*.*");
    }
    EXPECT_TRUE(uia::FileExists(documents + "\\bleibt.txt"));
    const auto lines = ReadTrace(trace_);
    EXPECT_TRUE(Has(lines, "Tavrino2", "kill: the folder \"" + documents + "\\\" is a protected folder, matched the protected folder \"" + documents + "\""))
        << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tavrino2", "refused: no pattern that names every file deletes there")) << Texts(lines);
}

TEST_F(Trace, ACopyOfAMissingFileSaysError2AndACopyThatWorksSaysDone) {
    const std::string missing = scratch_ + "\\fehlt.txt";
    const std::string there = scratch_ + "\\da.txt";
    ASSERT_TRUE(uia::WriteFileBytes(there, "da"));
    {
        TraceVariable on(trace_);
        RunQuietly("c,copy," + missing + "," + scratch_ + "\\kopie1.txt");
        RunQuietly("c,copy, " + there + " ," + scratch_ + "\\kopie2.txt");
    }
    EXPECT_FALSE(uia::FileExists(scratch_ + "\\kopie1.txt"));
    EXPECT_EQ(Contents(scratch_ + "\\kopie2.txt"), "da");
    const auto lines = ReadTrace(trace_);
    EXPECT_TRUE(Has(lines, "Tavrino2", "CopyFileA failed (\"" + missing + "\" to \"" + scratch_ +
                                           "\\kopie1.txt\"): error 2: "))
        << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tavrino2", "CopyFileA (\"" + there + "\" to \"" + scratch_ + "\\kopie2.txt\"): done"))
        << Texts(lines);
}

// A front end that starts Tavrino2 with a Unicode command line: the trace
// shows the wide command line beside the ANSI parameter string it became.
TEST_F(Trace, AWideCommandLineThatTheAnsiOneDoesNotSpellIsShownToo) {
    const std::wstring tail = L"c,copy,C:\\Daten\\\u0141ukasz.txt,C:\\Daten\\kopie.txt";
    const std::string program = uia::MainProgram();
    std::wstring commandLine = L"\"" + std::wstring(program.begin(), program.end()) + L"\" " + tail;
    std::optional<DWORD> exitCode;
    {
        TraceVariable on(trace_);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        const std::string frontEnd = uia::FrontEndFolder();
        const std::wstring cwd(frontEnd.begin(), frontEnd.end());
        ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(),
                                     &startup, &started));
        tav::UniqueHandle thread(started.hThread);
        uia::Process p(started.hProcess, started.dwProcessId);
        exitCode = p.WaitForExit();
    }
    EXPECT_EQ(exitCode, 0u);
    const auto lines = ReadTrace(trace_);
    EXPECT_TRUE(Has(lines, "Tavrino2", "started; parameter string (")) << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tavrino2", "the wide command line differs from the ANSI one")) << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tavrino2", "c,copy,C:\\Daten\\\xc5\x81ukasz.txt,C:\\Daten\\kopie.txt")) << Texts(lines);
}

TEST_F(Trace, TheUninstallerAnsweredNoSaysItsStartAndTheAnswerAndDeletesNothing) {
    const std::string install = scratch_ + "\\Bleibt Spiel";
    MakeFolderWithFiles(install);
    std::optional<Uninstaller> u;
    {
        TraceVariable on(trace_);
        EXPECT_EQ(RunMain("c,u/" + install).WaitForExit(), 0u);
        u = WaitForQuestion();
    }
    ASSERT_TRUE(u);
    Answer(u->question, IDNO);
    EXPECT_EQ(u->process.WaitForExit(), 0u);
    EXPECT_TRUE(uia::FileExists(install + "\\a.txt"));

    const auto lines = ReadTrace(trace_);
    const std::string pid = std::to_string(u->process.Pid());
    EXPECT_TRUE(Has(lines, "Tavrino2", "action: the uninstaller (c,u/)")) << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tavrino2", "uninstaller started (pid " + pid + "): ")) << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tav_uninstall", "started; command line")) << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tav_uninstall", "installation folder \"" + install + "\"")) << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tav_uninstall",
                    "message box \"Uninstaller\" shown (buttons Yes, No, Cancel): \"Wollen Sie die Software "
                    "wirklich deinstallieren?\""))
        << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tav_uninstall", "message box \"Uninstaller\" answered: No")) << Texts(lines);
    EXPECT_FALSE(Has(lines, "Tav_uninstall", "uninstalling")) << Texts(lines);
    for (const auto& l : lines) {
        if (l.program != "Tav_uninstall") continue;
        EXPECT_EQ(std::to_string(l.pid), pid) << l.text;
    }
}

TEST_F(Trace, TheUninstallersNotesAndTheirAnswersAreTraced) {
    const std::string install = scratch_ + "\\Gibt es nicht";
    std::optional<Uninstaller> u;
    {
        TraceVariable on(trace_);
        EXPECT_EQ(RunMain("c,u/" + install).WaitForExit(), 0u);
        u = WaitForQuestion();
    }
    ASSERT_TRUE(u);
    const Outcome out = AnswerYesAndCollect(*u);
    ASSERT_FALSE(out.notes.empty());
    const auto lines = ReadTrace(trace_);
    EXPECT_TRUE(Has(lines, "Tav_uninstall", "message box \"Uninstaller\" answered: Yes")) << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tav_uninstall", "folder \"" + install + "\": not there, or no folder")) << Texts(lines);
    // The note's line breaks are written out: the event stays on one line.
    EXPECT_TRUE(Has(lines, "Tav_uninstall",
                    "message box \"Hinweis\" shown (buttons OK): \"Der angegebene Ordner ist nicht mehr "
                    "vorhanden!<CR><LF>" + install + "<CR><LF>konnte nicht gel\xc3\xb6scht werden.\""))
        << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tav_uninstall", "message box \"Hinweis\" answered: OK")) << Texts(lines);
}

// Yes: each step says what it removed or left, and why.
TEST_F(Trace, TheUninstallersStepsSayWhatEachRemovedOrLeft) {
    const std::string install = scratch_ + "\\Demo Spiel";
    MakeFolderWithFiles(install);
    ASSERT_TRUE(uia::WriteFileBytes(install + "\\offen.txt", "offen"));
    Outcome out;
    {
        // Held open by another program without delete sharing: it stays.
        const tav::UniqueFile held(::CreateFileA((install + "\\offen.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                 nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        std::optional<Uninstaller> u;
        {
            TraceVariable on(trace_);
            EXPECT_EQ(RunMain("c,u/" + install).WaitForExit(), 0u);
            u = WaitForQuestion();
        }
        ASSERT_TRUE(u);
        out = AnswerYesAndCollect(*u);
    }
    EXPECT_TRUE(uia::FileExists(install + "\\offen.txt"));
    EXPECT_FALSE(uia::FileExists(install + "\\a.txt"));
    const auto lines = ReadTrace(trace_);
    EXPECT_TRUE(Has(lines, "Tav_uninstall", "uninstalling: the marker file, the installation folder, the start-menu folder"))
        << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tav_uninstall", "marker file \"")) << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tav_uninstall", "uninstaller: the folder operand \"" + install + "\" is \"" + install +
                                                "\": may be emptied"))
        << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tav_uninstall", "offen.txt")) << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tav_uninstall", "folder \"" + install + "\": not everything could be removed")) << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tav_uninstall", "start-menu folder")) << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tav_uninstall", "message box \"Fehler\" shown")) << Texts(lines);
}

TEST_F(Trace, WithoutTheVariableNothingIsWrittenAnywhere) {
    const std::string there = scratch_ + "\\da.txt";
    ASSERT_TRUE(uia::WriteFileBytes(there, "da"));
    for (const char* value : {static_cast<const char*>(nullptr), ""}) {
        SCOPED_TRACE(value ? "empty" : "unset");
        if (value) ::SetEnvironmentVariableA("TAVRINO_LOG", value);
        const auto temp = Listing(uia::TempFolder());
        const auto frontEnd = Listing(uia::FrontEndFolder());
        const auto programs = Listing(uia::ProgramsFolder());
        RunQuietly("c,copy," + there + "," + scratch_ + "\\kopie.txt");
        RunQuietly("c,copy," + scratch_ + "\\fehlt.txt," + scratch_ + "\\kopie2.txt");
        ::SetEnvironmentVariableA("TAVRINO_LOG", nullptr);
        EXPECT_EQ(Contents(scratch_ + "\\kopie.txt"), "da");
        EXPECT_EQ(Listing(scratch_), (std::set<std::string>{".", "..", "da.txt", "kopie.txt"}));
        EXPECT_EQ(Listing(uia::TempFolder()), temp);
        EXPECT_EQ(Listing(uia::FrontEndFolder()), frontEnd);
        EXPECT_EQ(Listing(uia::ProgramsFolder()), programs);
        ::DeleteFileA((scratch_ + "\\kopie.txt").c_str());
    }
}

// A folder of the trace's name, a read-only file, a folder that is not there:
// the actions do what they do without a trace, the hand-over included.
TEST_F(Trace, ATraceThatCannotBeWrittenChangesNothing) {
    const std::string source = scratch_ + "\\Quelle";
    MakeFolderWithFiles(source);
    ASSERT_TRUE(uia::MakeFolders(scratch_ + "\\Ordner.log"));
    const std::string readOnly = scratch_ + "\\schreibgeschützt.log";
    ASSERT_TRUE(uia::WriteFileBytes(readOnly, "vorher\r\n"));
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    int round = 0;
    for (const std::string& unwritable :
         {scratch_ + "\\Ordner.log", readOnly, scratch_ + "\\fehlt\\trace.log", std::string("F:\\trace.log")}) {
        SCOPED_TRACE(unwritable);
        const std::string destination = scratch_ + "\\Ziel" + std::to_string(++round);
        std::optional<DWORD> held;
        {
            TraceVariable on(unwritable);
            held = CopyDirHandOver(source, destination);
            RunQuietly("c,copy," + source + "\\a.txt," + destination + "\\kopie.txt");
        }
        ASSERT_TRUE(held);
        EXPECT_GE(*held, 1000u);  // held about 2 s, as without a trace
        EXPECT_EQ(Contents(destination + "\\unter\\b.txt"), "b");
        EXPECT_EQ(Contents(destination + "\\kopie.txt"), "a");
    }
    EXPECT_EQ(Contents(readOnly), "vorher\r\n");
    EXPECT_EQ(Listing(scratch_ + "\\Ordner.log"), (std::set<std::string>{".", ".."}));
    EXPECT_FALSE(uia::FolderExists(scratch_ + "\\fehlt"));
    ::SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Trace, TheResultFileAndItsRemovalAreTraced) {
    const std::string source = scratch_ + "\\Quelle";
    MakeFolderWithFiles(source);
    std::optional<DWORD> held;
    {
        TraceVariable on(trace_);
        held = CopyDirHandOver(source, scratch_ + "\\Ziel");
    }
    ASSERT_TRUE(held);
    EXPECT_GE(*held, 1000u);  // held about 2 s, as without a trace
    const auto lines = ReadTrace(trace_);
    EXPECT_TRUE(Has(lines, "Tavrino2", "result file \"" + ResultFile() + "\" written: [CopyDir] Error=0"))
        << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tavrino2", "result file held for the front end for 2000 ms")) << Texts(lines);
    EXPECT_TRUE(Has(lines, "Tavrino2", "result file removed")) << Texts(lines);
}

// Several programs tracing into one file at once: every line arrives whole,
// none is lost, and each program's lines keep their order.
TEST_F(Trace, ProgramsTracingAtOnceWriteWholeLines) {
    constexpr int kPrograms = 4;
    {
        TraceVariable on(trace_);
        std::vector<uia::Process> running;
        for (int i = 0; i < kPrograms; ++i)
            running.push_back(RunMain("c,copy," + scratch_ + "\\fehlt" + std::to_string(i) + ".txt," + scratch_ +
                                      "\\x.txt"));
        for (auto& p : running) EXPECT_EQ(p.WaitForExit(), 0u);
    }
    const auto lines = ReadTrace(trace_);
    std::map<unsigned long, std::vector<std::string>> byProgram;
    for (const auto& l : lines) byProgram[l.pid].push_back(l.text);
    ASSERT_EQ(byProgram.size(), static_cast<std::size_t>(kPrograms)) << Texts(lines);
    for (const auto& [pid, texts] : byProgram) {
        ASSERT_EQ(texts.size(), 4u) << Texts(lines);
        EXPECT_EQ(texts[0].rfind("started; parameter string", 0), 0u) << texts[0];
        EXPECT_EQ(texts[1], "action: c,copy");
        EXPECT_EQ(texts[2].rfind("CopyFileA failed", 0), 0u) << texts[2];
        EXPECT_EQ(texts[3], "the program ends");
    }
}

TEST_F(Trace, TheTraceStopsAtItsLimitWithALastLineSayingSo) {
    // A trace just short of its last zone, as a long session leaves it.
    const std::uint64_t start = tav::trace::LastZoneStart() - 10;
    std::string filler(static_cast<std::size_t>(start), 'x');
    filler.replace(filler.size() - 2, 2, "\r\n");
    ASSERT_TRUE(uia::WriteFileBytes(trace_, filler));
    {
        TraceVariable on(trace_);
        RunQuietly("c,copy," + scratch_ + "\\fehlt.txt," + scratch_ + "\\x.txt");
        RunQuietly("c,copy," + scratch_ + "\\fehlt.txt," + scratch_ + "\\x.txt");
    }
    const auto bytes = uia::ReadFileBytes(trace_);
    ASSERT_TRUE(bytes);
    EXPECT_LE(bytes->size(), tav::trace::kSizeLimit);
    std::istringstream added(bytes->substr(filler.size()));
    std::vector<std::string> texts;
    for (std::string line; std::getline(added, line);) texts.push_back(line.substr(line.find(": ") + 2));
    ASSERT_EQ(texts.size(), 2u) << bytes->substr(filler.size());
    EXPECT_EQ(texts[0].rfind("started; parameter string", 0), 0u) << texts[0];
    EXPECT_EQ(texts[1], tav::trace::LimitReachedText() + "\r");
}
