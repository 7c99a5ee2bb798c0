// The "p" command against a stand-in for the presentation program: an
// automation server of our own (tests/ppt_standin), registered in this prefix
// under the presentation program's class name, that records every call.
#include <windows.h>

#include <chrono>
#include <optional>
#include <sstream>
#include <thread>

#include "common/win/raii.h"
#include "main/powerpoint/powermodConvertPPT.h"
#include "main/powerpoint/powermodDialog.h"
#include "main/powerpoint/powermodOfficeVer.h"
#include "tests/ppt_standin/standin.h"
#include "tests/win/system_test.h"

using namespace systest;

namespace {

const char kDialogTitle[] = "Powerpoint-Präsentation öffnen";
const char kClassKey[] = "PowerPoint.Application";

std::string ServerKey() { return std::string("CLSID\\") + standin::kClassIdText; }

// Under Wine the classes root is HKLM\Software\Classes; per-user classes
// (HKCU\Software\Classes) do not show there.
bool SetClassesValue(const std::string& subKey, const char* name, const std::string& value) {
    tav::UniqueRegKey key;
    if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return ::RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

void DeleteClassesKey(const std::string& subKey) { ::RegDeleteTreeA(HKEY_CLASSES_ROOT, subKey.c_str()); }

// The stand-in as the registered presentation program. `curVer` is the
// versioned class name the registration names (nothing: no CurVer key).
void RegisterStandIn(const std::optional<std::string>& curVer) {
    DeleteClassesKey(kClassKey);
    ASSERT_TRUE(SetClassesValue(std::string(kClassKey) + "\\CLSID", nullptr, standin::kClassIdText));
    if (curVer) {
        ASSERT_TRUE(SetClassesValue(std::string(kClassKey) + "\\CurVer", nullptr, *curVer));
    }
    const std::string server = ServerKey() + "\\InprocServer32";
    ASSERT_TRUE(SetClassesValue(server, nullptr, uia::ProgramsFolder() + "\\" + standin::kDllName));
    ASSERT_TRUE(SetClassesValue(server, "ThreadingModel", "Apartment"));
}

void UnregisterStandIn() {
    DeleteClassesKey(kClassKey);
    DeleteClassesKey(ServerKey());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::string Join(const std::vector<std::string>& fields) {
    std::string line;
    for (const auto& f : fields) line += (line.empty() ? "" : "\t") + f;
    return line;
}

// What one run of the main program left behind.
struct Outcome {
    std::optional<std::string> result;  // the result file while it was held
    std::chrono::milliseconds held{0};  // from first seen to gone
    bool resultGone = false;
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

    // The calls the stand-in received, without the lines that record its creation.
    std::vector<std::string> Calls() {
        std::vector<std::string> calls;
        for (auto& line : Lines(uia::ReadFileBytes(standin::kLogFile).value_or("")))
            if (line.rfind("Application.New\t", 0) != 0) calls.push_back(line);
        return calls;
    }
    // The processes in which an application object was created.
    std::vector<std::string> Creations() {
        std::vector<std::string> pids;
        for (auto& line : Lines(uia::ReadFileBytes(standin::kLogFile).value_or("")))
            if (line.rfind("Application.New\t", 0) == 0) pids.push_back(line.substr(16));
        return pids;
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
        if (pick) {
            EXPECT_TRUE(uia::SetFileDialogName(dialog, presentation_));
            uia::ConfirmDialog(dialog);
        } else {
            uia::CancelDialog(dialog);
        }
        outcome.result = uia::WaitForFile(ResultFile(), uia::Ms{30000});
        const auto seen = std::chrono::steady_clock::now();
        outcome.resultGone = uia::WaitForFileGone(ResultFile(), uia::Ms{10000});
        outcome.held = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - seen);
        outcome.exitCode = p.WaitForExit();
        pid_ = p.Pid();
        return outcome;
    }

    static std::string Reported(const std::string& flag) {
        return "[Powerpoint]\r\nError=" + flag + "\r\n";
    }

    std::string scratch_, presentation_;
    DWORD pid_ = 0;
};

}  // namespace

TEST(PresentationVersion, ComesFromTheRegisteredClassName) {
    const std::pair<std::string, std::string> cases[] = {
        {"PowerPoint.Application.8", "8"},   {"PowerPoint.Application.9", "9"},
        {"PowerPoint.Application.09", "9"},  {"PowerPoint.Application.10", "10"},
        {"PowerPoint.Application.11", "11"}, {"PowerPoint.Application.16", "16"},
        {"PowerPoint.Application.7", ""},    {"", ""},
    };
    for (const auto& [curVer, code] : cases) {
        RegisterStandIn(curVer);
        EXPECT_EQ(tav::ReadRegistryString(HKEY_CLASSES_ROOT, "PowerPoint.Application\\CurVer", ""),
                  curVer);
        EXPECT_EQ(tav::GetPowerPointVersion(), code) << curVer;
    }
    UnregisterStandIn();
}

TEST(PresentationVersion, MissingKeyIsNotInstalled) {
    UnregisterStandIn();
    EXPECT_EQ(tav::ReadRegistryString(HKEY_CLASSES_ROOT, "PowerPoint.Application\\CurVer", ""),
              "PowerPoint.Application ist nicht installiert");
    EXPECT_EQ(tav::GetPowerPointVersion(), "");
    // Registered without a CurVer key: the same.
    RegisterStandIn(std::nullopt);
    EXPECT_EQ(tav::GetPowerPointVersion(), "");
    UnregisterStandIn();
}

TEST(PresentationVersion, ValueMustFitTheBuffer) {
    // 254 characters and the NUL fit into the reader's 255; one more does not.
    const std::string prefix = "PowerPoint.Application" + std::string(230, 'x') + ".";
    const std::string fits = prefix + "9";
    ASSERT_EQ(fits.size(), 254u);
    RegisterStandIn(fits);
    EXPECT_EQ(tav::GetPowerPointVersion(), "9");
    RegisterStandIn(prefix + "10");
    EXPECT_EQ(tav::ReadRegistryString(HKEY_CLASSES_ROOT, "PowerPoint.Application\\CurVer", ""), "");
    EXPECT_EQ(tav::GetPowerPointVersion(), "");
    UnregisterStandIn();
}

TEST_F(PresentationExport, WholePresentationAsPicturesForVersion9AndLater) {
    for (const char* version : {"9", "10", "16"}) {
        SCOPED_TRACE(version);
        RegisterStandIn(std::string("PowerPoint.Application.") + version);
        uia::RemoveTree(standin::kLogFile);
        uia::RemoveTree("C:\\Bilder");

        const Outcome o = Run("p,C:\\Bilder,640,480,png");
        EXPECT_EQ(o.result, Reported("0"));
        EXPECT_TRUE(o.resultGone);
        EXPECT_EQ(o.exitCode, 0u);
        EXPECT_EQ(Calls(), (std::vector<std::string>{
                               "Application.presentations",
                               OpenCall(),
                               Join({"Presentation.Export", "BSTR:C:\\Bilder", "BSTR:png", "I4:640",
                                     "I4:480"}),
                               "Presentation.Close",
                               "Application.Quit",
                           }));
        // Created here, in the program's own process, so it was ended again.
        EXPECT_EQ(Creations(), std::vector<std::string>{std::to_string(pid_)});
        EXPECT_TRUE(uia::FileExists("C:\\Bilder\\Folie1.png"));
        EXPECT_TRUE(uia::FileExists("C:\\Bilder\\Folie3.png"));
    }
}

TEST_F(PresentationExport, ResultIsHeldAboutTwoSecondsThenGoneAndTheProgramEnds) {
    const Outcome o = Run("p," + scratch_ + "\\out,640,480,png");
    EXPECT_EQ(o.result, Reported("0"));
    EXPECT_TRUE(o.resultGone);
    EXPECT_GE(o.held.count(), 1500);
    EXPECT_LE(o.held.count(), 4000);
    EXPECT_EQ(o.exitCode, 0u);
}

TEST_F(PresentationExport, HtmlIsOneSaveAsWithFormat12) {
    RegisterStandIn("PowerPoint.Application.9");
    uia::MakeFolders("C:\\Web");
    uia::RemoveTree("C:\\Web\\index.htm");
    const Outcome o = Run("p,C:\\Web\\index.htm,0,0,html");
    EXPECT_EQ(o.result, Reported("0"));
    EXPECT_EQ(Calls(), (std::vector<std::string>{
                           "Application.presentations",
                           OpenCall(),
                           Join({"Presentation.SaveAs", "BSTR:C:\\Web\\index.htm", "I2:12"}),
                           "Presentation.Close",
                           "Application.Quit",
                       }));
    EXPECT_TRUE(uia::FileExists("C:\\Web\\index.htm"));
}

TEST_F(PresentationExport, Version8ExportsSlideBySlideIntoACreatedFolder) {
    RegisterStandIn("PowerPoint.Application.8");
    Tell("Slides", "3");
    const std::string folder = scratch_ + "\\Bilder\\Vortrag";  // two levels missing
    const Outcome o = Run("p," + folder + ",800,600,png");
    EXPECT_EQ(o.result, Reported("0"));
    EXPECT_EQ(o.exitCode, 0u);

    std::vector<std::string> expected{"Application.presentations", OpenCall(),
                                      "Presentation.Slides", "Slides.Count"};
    for (int i = 1; i <= 3; ++i) {
        expected.push_back(Join({"Slides.Item", "I4:" + std::to_string(i)}));
        expected.push_back(Join({"Slide.Export",
                                 "BSTR:" + folder + "\\Folie00" + std::to_string(i) + ".png",
                                 "BSTR:png", "I4:800", "I4:600"}));
    }
    expected.push_back("Presentation.Close");
    expected.push_back("Application.Quit");
    EXPECT_EQ(Calls(), expected);
    for (const char* name : {"Folie001.png", "Folie002.png", "Folie003.png"})
        EXPECT_TRUE(uia::FileExists(folder + "\\" + name)) << name;
}

TEST_F(PresentationExport, Version8NumbersGrowToFourDigitsPast999) {
    RegisterStandIn("PowerPoint.Application.08");
    Tell("Slides", "1001");
    const std::string folder = scratch_ + "\\Viele\\";  // already ends in a backslash
    const Outcome o = Run("p," + folder + ",64,48,png");
    EXPECT_EQ(o.result, Reported("0"));
    for (const char* name : {"Folie001.png", "Folie999.png", "Folie1000.png", "Folie1001.png"})
        EXPECT_TRUE(uia::FileExists(folder + name)) << name;
    int exports = 0;
    for (const auto& call : Calls()) exports += call.rfind("Slide.Export\t", 0) == 0;
    EXPECT_EQ(exports, 1001);
}

TEST_F(PresentationExport, Version8FailingSlideIsSkippedAndReportedAsFailure) {
    RegisterStandIn("PowerPoint.Application.8");
    Tell("Slides", "3");
    Tell("FailSlide", "2");
    const Outcome o = Run("p," + scratch_ + "\\out,640,480,png");
    EXPECT_EQ(o.result, Reported("1"));
    EXPECT_TRUE(uia::FileExists(scratch_ + "\\out\\Folie001.png"));
    EXPECT_FALSE(uia::FileExists(scratch_ + "\\out\\Folie002.png"));
    EXPECT_TRUE(uia::FileExists(scratch_ + "\\out\\Folie003.png"));
    const auto calls = Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "Presentation.Close");
    EXPECT_EQ(calls.back(), "Application.Quit");
}

TEST_F(PresentationExport, NothingExportableIsReportedAsFailure) {
    struct Case {
        const char* curVer;  // nullptr: no CurVer key
        std::string parameters;
    };
    const Case cases[] = {
        {"PowerPoint.Application.10", "p,C:\\Bilder,640,480,jpg"},   // unknown format
        {"PowerPoint.Application.10", "p,C:\\Bilder,640,480,PNG"},   // compared exactly
        {"PowerPoint.Application.7", "p,C:\\Bilder,640,480,png"},    // unknown version
        {nullptr, "p,C:\\Bilder,640,480,png"},                       // no version at all
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameters + " / " + (c.curVer ? c.curVer : "no CurVer"));
        RegisterStandIn(c.curVer ? std::optional<std::string>(c.curVer) : std::nullopt);
        uia::RemoveTree(standin::kLogFile);
        const Outcome o = Run(c.parameters);
        EXPECT_EQ(o.result, Reported("1"));
        EXPECT_EQ(o.exitCode, 0u);
        // Opened and closed again, nothing exported.
        EXPECT_EQ(Calls(), (std::vector<std::string>{"Application.presentations", OpenCall(),
                                                     "Presentation.Close", "Application.Quit"}));
    }
}

TEST_F(PresentationExport, Version8WithHtmlCreatesTheFolderButExportsNothing) {
    RegisterStandIn("PowerPoint.Application.8");
    const std::string folder = scratch_ + "\\web";
    const Outcome o = Run("p," + folder + ",0,0,html");
    EXPECT_EQ(o.result, Reported("1"));
    EXPECT_TRUE(uia::FolderExists(folder));
    EXPECT_EQ(Calls(), (std::vector<std::string>{"Application.presentations", OpenCall(),
                                                 "Presentation.Close", "Application.Quit"}));
}

TEST_F(PresentationExport, FailingExportOrSaveAsIsReportedAsFailure) {
    const std::pair<const char*, std::string> cases[] = {
        {"Presentation.Export", "p,C:\\Bilder,640,480,png"},
        {"Presentation.SaveAs", "p,C:\\Web\\index.htm,0,0,html"},
    };
    for (const auto& [member, parameters] : cases) {
        SCOPED_TRACE(member);
        uia::RemoveTree(standin::kLogFile);
        Tell("Fail", member);
        const Outcome o = Run(parameters);
        EXPECT_EQ(o.result, Reported("1"));
        EXPECT_EQ(o.exitCode, 0u);
        const auto calls = Calls();
        ASSERT_EQ(calls.size(), 5u);
        EXPECT_EQ(calls[2].substr(0, calls[2].find('\t')), member);
        EXPECT_EQ(calls[3], "Presentation.Close");
        EXPECT_EQ(calls[4], "Application.Quit");
    }
}

TEST_F(PresentationExport, PresentationThatCannotBeOpenedIsNeitherExportedNorClosed) {
    Tell("RefuseOpen", "1");
    const Outcome o = Run("p,C:\\Bilder,640,480,png");
    EXPECT_EQ(o.result, Reported("1"));
    EXPECT_EQ(o.exitCode, 0u);
    EXPECT_EQ(Calls(),
              (std::vector<std::string>{"Application.presentations", OpenCall(), "Application.Quit"}));
}

TEST_F(PresentationExport, NoPresentationProgramIsReportedAsFailure) {
    UnregisterStandIn();
    const Outcome o = Run("p,C:\\Bilder,640,480,png");
    EXPECT_EQ(o.result, Reported("1"));
    EXPECT_TRUE(o.resultGone);
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
    EXPECT_EQ(o.exitCode, 0u);
    // The calls reached the instance in the other process; none created one here.
    EXPECT_EQ(Creations(), std::vector<std::string>{std::to_string(host.Pid())});
    EXPECT_EQ(Calls(), (std::vector<std::string>{
                           "Application.presentations",
                           OpenCall(),
                           Join({"Presentation.Export", "BSTR:C:\\Bilder", "BSTR:png", "I4:640",
                                 "I4:480"}),
                           "Presentation.Close",
                       }));
    EXPECT_TRUE(host.Running());

    ::SetEvent(end.get());
    EXPECT_EQ(host.WaitForExit(), 0u);
}

TEST_F(PresentationExport, CancelReportsFailureWithoutAnyAutomationCall) {
    uia::Process p = RunMain("p,C:\\Bilder,640,480,png");
    HWND dialog = uia::WaitForWindow({p.Pid(), kDialogTitle, "#32770"});
    ASSERT_NE(dialog, nullptr);
    uia::CancelDialog(dialog);

    const auto result = uia::WaitForFile(ResultFile(), uia::Ms{15000});
    EXPECT_EQ(result, Reported("1"));
    const auto seen = std::chrono::steady_clock::now();
    EXPECT_TRUE(uia::WaitForFileGone(ResultFile()));
    EXPECT_GE(std::chrono::steady_clock::now() - seen, std::chrono::milliseconds(1500));
    EXPECT_EQ(p.WaitForExit(), 0u);
    EXPECT_FALSE(uia::FileExists(standin::kLogFile));
}

TEST_F(PresentationExport, PathTooLongForTheDialogIsACancel) {
    // 128 characters are the dialog's limit; the folder exists, so the dialog
    // itself does not complain.
    const std::string folder = scratch_ + "\\" + std::string(120, 'L');
    ASSERT_TRUE(uia::MakeFolders(folder));
    presentation_ = folder + "\\lang.ppt";
    ASSERT_TRUE(uia::WriteFileBytes(presentation_, "x"));
    const Outcome o = Run("p,C:\\Bilder,640,480,png");
    EXPECT_EQ(o.result, Reported("1"));
    EXPECT_EQ(o.exitCode, 0u);
    EXPECT_FALSE(uia::FileExists(standin::kLogFile));
}

// The dialog run inside this test program, so that its controls can be read.
TEST_F(PresentationExport, OpenDialogOffersTheTwoPresentationTypesWithoutOwner) {
    tav::PresentationFile.clear();
    std::thread chooser([] { tav::ChoosePresentation(); });
    HWND dialog = uia::WaitForWindow({::GetCurrentProcessId(), kDialogTitle, "#32770"});
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(::GetWindow(dialog, GW_OWNER), nullptr);
    EXPECT_EQ(uia::ComboItems(uia::FindControl(dialog, 0x470)),
              (std::vector<std::string>{"Powerpointpräsentation (*.ppt)",
                                        "Powerpoint Pack & Go (*.pps)"}));
    EXPECT_EQ(uia::TextOf(uia::FileDialogNameEdit(dialog)), "");  // no initial file name
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    uia::SaveScreenshot(ScreenshotPath("presentation_open_dialog"));
    EXPECT_TRUE(uia::SetFileDialogName(dialog, presentation_));
    uia::ConfirmDialog(dialog);
    chooser.join();
    EXPECT_EQ(tav::PresentationFile, presentation_);
}

TEST_F(PresentationExport, MissingOperandOrNonNumericSizeShowsNothingAndWritesNothing) {
    for (const char* parameters :
         {"p", "p,C:\\Bilder", "p,C:\\Bilder,640", "p,C:\\Bilder,640,480",
          "p,C:\\Bilder,abc,480,png", "p,C:\\Bilder,640,abc,png", "p,C:\\Bilder,640,4.5,png",
          "p,C:\\Bilder,,480,png", "p,C:\\Bilder,640, 480,png"}) {
        uia::Process p = RunMain(parameters);
        EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{300})) << parameters;
        EXPECT_EQ(p.WaitForExit(), 0u) << parameters;
        EXPECT_FALSE(uia::FileExists(ResultFile())) << parameters;
    }
    EXPECT_FALSE(uia::FileExists(standin::kLogFile));
}
