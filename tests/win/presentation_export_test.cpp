// The "p" command against a stand-in for the presentation program: an
// automation server of our own (tests/ppt_standin), registered in this prefix
// under the presentation program's class name, that records every call.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <sstream>

#include "common/win/raii.h"
#include "main/presentation/office_version.h"
#include "tests/support/fixtures.h"

using namespace systest;

namespace {

const char kDialogTitle[] = "Powerpoint-Präsentation öffnen";
std::string Join(const std::vector<std::string>& fields) {
    std::string line;
    for (const auto& f : fields) line += (line.empty() ? "" : "\t") + f;
    return line;
}

std::string Reported(const std::string& flag) { return "[Powerpoint]\r\nError=" + flag + "\r\n"; }

// What one run of the main program left behind.
struct Outcome {
    std::optional<std::string> result;  // the result file while it was held
    std::optional<DWORD> exitCode;
};

class PresentationExport : public ::testing::Test {
protected:
    void SetUp() override {
        uia::RemoveTree(standin::kFolder);
        uia::MakeFolders(standin::kFolder);
        scratch_ = ScratchFolder();
        presentation_ = scratch_ + "\\Vortrag Größe.ppt";
        ASSERT_TRUE(uia::WriteFileBytes(presentation_, "not really a presentation"));
        RegisterStandIn("PowerPoint.Application.10");
    }
    void TearDown() override { UnregisterStandIn(); }

    void Tell(const char* key, const std::string& value) {
        ::WritePrivateProfileStringA("standin", key, value.c_str(), standin::kControlFile);
    }
    // The logged calls, or (creations) the processes in which an application object was created.
    std::vector<std::string> Log(bool creations = false) {
        std::vector<std::string> lines;
        std::istringstream in(uia::ReadFileBytes(standin::kLogFile).value_or(""));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const bool creation = line.rfind("Application.New\t", 0) == 0;
            if (!line.empty() && creation == creations) lines.push_back(creation ? line.substr(16) : line);
        }
        return lines;
    }
    std::string OpenCall() const {
        return Join({"Presentations.Open", "FileName=BSTR:" + presentation_, "withwindow=I2:0"});
    }

    // Runs the command, picks the presentation in the open dialog (or cancels
    // it) and follows the result file until the program has ended.
    Outcome Run(const std::string& parameters, bool pick = true) {
        Outcome outcome;
        uia::Process p = RunMain(parameters);
        HWND dialog = uia::WaitForWindow({p.Pid(), kDialogTitle, "#32770"});
        EXPECT_NE(dialog, nullptr) << parameters;
        if (!dialog) return outcome;
        EXPECT_TRUE(!pick || uia::SetFileDialogName(dialog, presentation_));
        pick ? uia::ConfirmDialog(dialog) : uia::CancelDialog(dialog);
        outcome.result = uia::WaitForFile(ResultFile(), uia::Ms{30000});
        uia::WaitForFileGone(ResultFile(), uia::Ms{10000});
        outcome.exitCode = p.WaitForExit();
        pid_ = p.Pid();
        return outcome;
    }

    std::string scratch_, presentation_;
    DWORD pid_ = 0;
};

}  // namespace

// The class name's mapping to a version code is the host's VersionCode test;
// here the registry reader: its 255-character buffer, a missing CurVer key, no
// registration at all.
TEST(PresentationVersion, IsReadFromTheRegisteredClassNameWithinTheReadersBuffer) {
    // 254 characters and the NUL fit into the reader's 255; one more does not.
    const std::string longName = "PowerPoint.Application" + std::string(230, 'x') + ".";
    const std::pair<std::optional<std::string>, std::string> cases[] = {
        {"PowerPoint.Application.16", "16"}, {std::nullopt, ""}, {longName + "9", "9"}, {longName + "10", ""},
    };
    for (const auto& [curVer, code] : cases) {
        RegisterStandIn(curVer);
        EXPECT_EQ(tav::GetPowerPointVersion(), code) << curVer.value_or("no CurVer");
    }
    UnregisterStandIn();
    EXPECT_EQ(tav::ReadRegistryString(HKEY_CLASSES_ROOT, "PowerPoint.Application\\CurVer", ""),
              "PowerPoint.Application ist nicht installiert");
    EXPECT_EQ(tav::GetPowerPointVersion(), "");
}

TEST_F(PresentationExport, PicturesOfTheWholePresentationAreOneExportCall) {
    RegisterStandIn("PowerPoint.Application.9");  // the oldest version exporting this way
    uia::RemoveTree("C:\\Bilder");
    const Outcome o = Run("p,C:\\Bilder,640,480,png");
    EXPECT_EQ(o.result, Reported("0"));
    EXPECT_EQ(o.exitCode, 0u);
    EXPECT_EQ(Log(), (std::vector<std::string>{
                           "Application.presentations", OpenCall(),
                           Join({"Presentation.Export", "BSTR:C:\\Bilder", "BSTR:png", "I4:640", "I4:480"}),
                           "Presentation.Close", "Application.Quit"}));
    // Created here, in the program's own process, so it was ended again.
    EXPECT_EQ(Log(true), std::vector<std::string>{std::to_string(pid_)});
}

TEST_F(PresentationExport, HtmlIsOneSaveAsWithFormat12) {
    uia::MakeFolders("C:\\Web");
    const Outcome o = Run("p,C:\\Web\\index.htm,0,0,html");
    EXPECT_EQ(o.result, Reported("0"));
    EXPECT_EQ(Log(), (std::vector<std::string>{
                           "Application.presentations", OpenCall(),
                           Join({"Presentation.SaveAs", "BSTR:C:\\Web\\index.htm", "I2:12"}),
                           "Presentation.Close", "Application.Quit"}));
}

TEST_F(PresentationExport, Version8ExportsSlideBySlideIntoACreatedFolder) {
    RegisterStandIn("PowerPoint.Application.8");  // the stand-in has three slides
    const std::string folder = scratch_ + "\\Bilder\\Vortrag";  // two levels missing
    const Outcome o = Run("p," + folder + ",800,600,png");
    EXPECT_EQ(o.result, Reported("0"));
    std::vector<std::string> expected{"Application.presentations", OpenCall(),
                                      "Presentation.Slides", "Slides.Count"};
    for (const std::string i : {"1", "2", "3"})
        expected.insert(expected.end(), {Join({"Slides.Item", "I4:" + i}),
                                         Join({"Slide.Export", "BSTR:" + folder + "\\Folie00" + i + ".png",
                                               "BSTR:png", "I4:800", "I4:600"})});
    expected.insert(expected.end(), {"Presentation.Close", "Application.Quit"});
    EXPECT_EQ(Log(), expected);
    EXPECT_TRUE(uia::FileExists(folder + "\\Folie003.png"));
}

TEST_F(PresentationExport, NothingExportedIsReportedAsFailure) {
    struct Case {
        std::optional<std::string> curVer;  // nothing: no CurVer key
        const char* tellKey;
        const char* tellValue;
        std::string parameters;
        bool opened;
        bool slidesAsked;  // the slide-by-slide export got as far as the slides
    };
    const std::string v10 = "PowerPoint.Application.10", v8 = "PowerPoint.Application.8";
    const Case cases[] = {
        {v10, "", "", "p,C:\\Bilder,640,480,jpg", true, false},  // unknown format
        {std::nullopt, "", "", "p,C:\\Bilder,640,480,png", true, false},
        {v8, "", "", "p," + scratch_ + "\\web,0,0,html", true, false},
        {v10, "Fail", "Presentation.Export", "p,C:\\Bilder,640,480,png", true, false},
        {v10, "Fail", "Presentation.SaveAs", "p,C:\\Web\\index.htm,0,0,html", true, false},
        {v8, "FailSlide", "2", "p," + scratch_ + "\\out,640,480,png", true, true},
        {v8, "Slides", "0", "p," + scratch_ + "\\leer,640,480,png", true, true},
        // A folder the platform cannot create is skipped, whatever its length.
        {v8, "", "", "p,C:\\" + std::string(300, 'a') + ",640,480,png", true, false},
        {v8, "", "", "p,C:\\" + std::string(600, 'a') + ",640,480,png", true, false},
        {v8, "", "", "p," + scratch_ + "\\un|gueltig,640,480,png", true, false},
        {v10, "RefuseOpen", "1", "p,C:\\Bilder,640,480,png", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters + " / " + c.curVer.value_or("no CurVer") + " / " + c.tellKey);
        RegisterStandIn(c.curVer);
        uia::RemoveTree(standin::kLogFile);
        uia::RemoveTree(standin::kControlFile);
        if (*c.tellKey) Tell(c.tellKey, c.tellValue);
        const Outcome o = Run(c.parameters);
        EXPECT_EQ(o.result, Reported("1"));
        EXPECT_EQ(o.exitCode, 0u);
        const auto calls = Log();
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[1], OpenCall());
        EXPECT_EQ(calls.back(), "Application.Quit");
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "Presentation.Close"), c.opened ? 1 : 0);
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "Presentation.Slides"), c.slidesAsked ? 1 : 0);
    }
}

TEST_F(PresentationExport, ACancelledDialogReachesNoPresentationProgram) {
    const Outcome o = Run("p,C:\\Bilder,640,480,png", false);
    EXPECT_EQ(o.result, Reported("1"));
    EXPECT_EQ(o.exitCode, 0u);
    EXPECT_FALSE(uia::FileExists(standin::kLogFile));
}

TEST_F(PresentationExport, RunningInstanceIsReusedAndStaysRunning) {
    const tav::UniqueHandle ready(::CreateEventA(nullptr, TRUE, FALSE, standin::kHostReadyEvent));
    const tav::UniqueHandle end(::CreateEventA(nullptr, TRUE, FALSE, standin::kHostEndEvent));
    ASSERT_TRUE(ready && end);
    ::ResetEvent(ready.get());
    ::ResetEvent(end.get());
    uia::Process host = uia::Start(uia::ProgramsFolder() + "\\" + standin::kHostName, "");
    ASSERT_TRUE(host.Started());
    ASSERT_EQ(::WaitForSingleObject(ready.get(), 15000), WAIT_OBJECT_0);
    const Outcome o = Run("p,C:\\Bilder,640,480,png");
    EXPECT_EQ(o.result, Reported("0"));
    // The calls reached the instance in the other process; none created one here.
    EXPECT_EQ(Log(true), std::vector<std::string>{std::to_string(host.Pid())});
    const auto calls = Log();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "Presentation.Close");  // no Quit
    EXPECT_TRUE(host.Running());
    ::SetEvent(end.get());
    EXPECT_EQ(host.WaitForExit(), 0u);
}

// A size with blanks around it is that number; blanks inside still make it no number.
TEST_F(PresentationExport, SizesWithBlanksAroundThemAreNumbers) {
    for (const char* parameters : {"p,C:\\Bilder, 640,480,png", "p,C:\\Bilder,640 ,480 ,png"}) {
        uia::RemoveTree(standin::kLogFile);
        const Outcome o = Run(parameters);
        EXPECT_EQ(o.result, Reported("0")) << parameters;
        EXPECT_EQ(Log(), (std::vector<std::string>{
                               "Application.presentations", OpenCall(),
                               Join({"Presentation.Export", "BSTR:C:\\Bilder", "BSTR:png", "I4:640", "I4:480"}),
                               "Presentation.Close", "Application.Quit"}))
            << parameters;
    }
    uia::RemoveTree(standin::kLogFile);
    for (const char* parameters : {"p,C:\\Bilder,6 40,480,png", "p,C:\\Bilder,640, ,png"}) {
        uia::Process p = RunMain(parameters);
        EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{300})) << parameters;
        EXPECT_EQ(p.WaitForExit(), 0u) << parameters;
        EXPECT_FALSE(uia::FileExists(ResultFile())) << parameters;
    }
    EXPECT_FALSE(uia::FileExists(standin::kLogFile));
}
