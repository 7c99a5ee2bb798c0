// The "p" command against a stand-in for the presentation program: an
// automation server of our own (tests/ppt_standin), registered in this prefix
// under the presentation program's class name, that records every call (one
// line each, arguments after tabs).
#include <windows.h>

#include <algorithm>
#include <optional>
#include <sstream>

#include "common/win/raii.h"
#include "main/presentation/office_version.h"
#include "tests/support/fixtures.h"

using namespace systest;

namespace {

std::string Reported(const std::string& flag) { return "[Powerpoint]\r\nError=" + flag + "\r\n"; }

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
        return "Presentations.Open\tFileName=BSTR:" + presentation_ + "\twithwindow=I2:0";
    }

    // Runs the command, picks the presentation in the open dialog (or cancels
    // it), follows the program to its end and returns the result file it held.
    std::optional<std::string> Run(const std::string& parameters, bool pick = true) {
        uia::Process p = RunMain(parameters);
        HWND dialog = uia::WaitForWindow({p.Pid(), "Powerpoint-Präsentation öffnen", "#32770"});
        EXPECT_NE(dialog, nullptr) << parameters;
        if (!dialog) return std::nullopt;
        EXPECT_TRUE(!pick || uia::SetFileDialogName(dialog, presentation_));
        pick ? uia::ConfirmDialog(dialog) : uia::CancelDialog(dialog);
        const auto result = uia::WaitForFile(ResultFile(), uia::Ms{30000});
        uia::WaitForFileGone(ResultFile(), uia::Ms{10000});
        EXPECT_EQ(p.WaitForExit(), 0u) << parameters;
        pid_ = p.Pid();
        return result;
    }

    std::string scratch_, presentation_;
    DWORD pid_ = 0;
};

}  // namespace

// The registry reader's 255-character buffer holds a class name of 254 and the
// NUL, not one more (the mapping to version codes is the host's VersionCode test).
TEST(PresentationVersion, AClassNameLongerThanTheReadersBufferIsNoVersion) {
    const std::string longName = "PowerPoint.Application" + std::string(230, 'x') + ".";
    for (const auto& [curVer, code] : {std::pair<std::string, std::string>{longName + "9", "9"}, {longName + "10", ""}}) {
        RegisterStandIn(curVer);
        EXPECT_EQ(tav::GetPowerPointVersion(), code) << curVer.size();
    }
    UnregisterStandIn();
}

// From version 9 on, pictures are one Export call and HTML one SaveAs; version
// 8 exports slide by slide into a folder it creates (two levels missing here).
// Sizes may have blanks around them. The application object is created in the
// program's own process, so it is ended again.
TEST_F(PresentationExport, EachVersionMakesItsExportCalls) {
    const std::string slides = scratch_ + "\\Bilder\\Vortrag";
    std::vector<std::string> slideCalls{"Presentation.Slides", "Slides.Count"};
    for (const std::string i : {"1", "2", "3"})  // the stand-in has three slides
        slideCalls.insert(slideCalls.end(), {"Slides.Item\tI4:" + i, "Slide.Export\tBSTR:" + slides + "\\Folie00" +
                                                                           i + ".png\tBSTR:png\tI4:800\tI4:600"});
    const std::vector<std::string> pictures{"Presentation.Export\tBSTR:C:\\Bilder\tBSTR:png\tI4:640\tI4:480"};
    const struct { const char* curVer; std::string parameters; std::vector<std::string> exportCalls; } cases[] = {
        {"PowerPoint.Application.9", "p,C:\\Bilder,640,480,png", pictures},
        {"PowerPoint.Application.10", "p,C:\\Bilder, 640,480,png", pictures},
        {"PowerPoint.Application.10", "p,C:\\Bilder,640 ,480 ,png", pictures},
        {"PowerPoint.Application.10", "p,C:\\Web\\index.htm,0,0,html", {"Presentation.SaveAs\tBSTR:C:\\Web\\index.htm\tI2:12"}},
        {"PowerPoint.Application.8", "p," + slides + ",800,600,png", slideCalls},
    };
    uia::MakeFolders("C:\\Web");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters + " / " + c.curVer);
        RegisterStandIn(c.curVer);
        uia::RemoveTree(standin::kLogFile);
        EXPECT_EQ(Run(c.parameters), Reported("0"));
        std::vector<std::string> expected{"Application.presentations", OpenCall()};
        expected.insert(expected.end(), c.exportCalls.begin(), c.exportCalls.end());
        expected.insert(expected.end(), {"Presentation.Close", "Application.Quit"});
        EXPECT_EQ(Log(), expected);
        EXPECT_EQ(Log(true), std::vector<std::string>{std::to_string(pid_)});
    }
    EXPECT_TRUE(uia::FileExists(slides + "\\Folie003.png"));
}

TEST_F(PresentationExport, NothingExportedIsReportedAsFailure) {
    // A cancelled dialog never reaches the presentation program, registered as it is.
    EXPECT_EQ(Run("p,C:\\Bilder,640,480,png", false), Reported("1"));
    EXPECT_FALSE(uia::FileExists(standin::kLogFile));
    const std::string v10 = "PowerPoint.Application.10", v8 = "PowerPoint.Application.8";
    // curVer nothing: no CurVer key; slidesAsked: the slide-by-slide export got as far as the slides.
    const struct { std::optional<std::string> curVer; const char *tellKey, *tellValue; std::string parameters;
                   bool opened, slidesAsked; } cases[] = {
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
        if (*c.tellKey) ::WritePrivateProfileStringA("standin", c.tellKey, c.tellValue, standin::kControlFile);
        EXPECT_EQ(Run(c.parameters), Reported("1"));
        const auto calls = Log();
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[1], OpenCall());
        EXPECT_EQ(calls.back(), "Application.Quit");
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "Presentation.Close"), c.opened ? 1 : 0);
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "Presentation.Slides"), c.slidesAsked ? 1 : 0);
    }
}

TEST_F(PresentationExport, RunningInstanceIsReusedAndStaysRunning) {
    const tav::UniqueHandle ready(::CreateEventA(nullptr, TRUE, FALSE, standin::kHostReadyEvent));
    const tav::UniqueHandle end(::CreateEventA(nullptr, TRUE, FALSE, standin::kHostEndEvent));
    ASSERT_TRUE(ready && end);
    uia::Process host = uia::Start(uia::ProgramsFolder() + "\\" + standin::kHostName, "");
    ASSERT_TRUE(host.Started());
    ASSERT_EQ(::WaitForSingleObject(ready.get(), 15000), WAIT_OBJECT_0);
    EXPECT_EQ(Run("p,C:\\Bilder,640,480,png"), Reported("0"));
    // The calls reached the instance in the other process; none created one here.
    EXPECT_EQ(Log(true), std::vector<std::string>{std::to_string(host.Pid())});
    const auto calls = Log();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "Presentation.Close");  // no Quit
    EXPECT_TRUE(host.Running());
    ::SetEvent(end.get());
    EXPECT_EQ(host.WaitForExit(), 0u);
}
