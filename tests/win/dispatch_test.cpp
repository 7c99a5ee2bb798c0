// Start-up and dispatch, seen from the front end's side: the about window,
// the stale result file, parameter strings that name no action the program
// can carry out, and strings of any shape.
#include <windows.h>

#include <random>

#include "tests/support/system_test.h"

using namespace systest;

namespace {

void PlantStaleResult() {
    ASSERT_TRUE(uia::WriteFileBytes(ResultFile(), "[Search]\r\nResult=old\r\n"));
}

}  // namespace

TEST(AboutWindow, EmptyParameterStringShowsItCentredWithoutCaptionAndEscEndsTheProgram) {
    uia::Process p = RunMain("");
    ASSERT_TRUE(p.Started());
    HWND about = uia::WaitForWindow({p.Pid(), "", "#32770"});
    ASSERT_NE(about, nullptr);

    EXPECT_NE(uia::FindControlByText(about, "TavrinoII", "Static"), nullptr);
    EXPECT_NE(uia::FindControlByText(about, "OK", "Button"), nullptr);
    // Borderless, centred on the 1024 x 768 screen, 7755 x 4485 twips at 96 DPI.
    const RECT r = uia::WindowRectOnScreen(about);
    EXPECT_EQ(r.right - r.left, 517);
    EXPECT_EQ(r.bottom - r.top, 299);
    EXPECT_NEAR((r.left + r.right) / 2, 512, 2);
    EXPECT_FALSE(::GetWindowLongPtrA(about, GWL_STYLE) & WS_CAPTION);
    EXPECT_TRUE(::GetWindowLongPtrA(about, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    uia::SaveScreenshot(ScreenshotPath("about"));

    uia::PressEscape(about);
    EXPECT_EQ(p.WaitForExit(), 0u);
}

TEST(StaleResult, IsKeptWhenTheResultFileCannotBeDeleted) {
    PlantStaleResult();
    ::SetFileAttributesA(ResultFile().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(RunMainToEnd("c,kill"), 0u);
    EXPECT_TRUE(uia::FileExists(ResultFile()));
    ::SetFileAttributesA(ResultFile().c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(ResultFile().c_str());
}

// A capital family letter, a blank before the verb, quotation marks, a
// family or verb without its operands, operands the action cannot use: the
// stale result is deleted, nothing is shown, nothing else happens.
TEST(Dispatch, StringsThatNameNoUsableActionDeleteTheStaleResultAndEndSilently) {
    const std::string scratch = ScratchFolder();
    const std::string victim = scratch + "\\bleibt.txt";
    ASSERT_TRUE(uia::WriteFileBytes(victim, "x"));
    for (const std::string& parameters :
         {"C,kill," + victim, "c, kill," + victim, "\"c,kill," + victim + "\"", std::string("c"),
          std::string("x"), std::string("s"), std::string("C,u/x"), std::string(",,,"),
          std::string("c,kill"), std::string("c,makedir"), std::string("c,opendialog,Titel,*.*"),
          std::string("c,Bitte wählen,*.jpg"),
          // shortcuts the shell cannot make
          std::string("c,desk,C:\\x.exe,a|b"), std::string("c,start"),
          "c,desk,C:\\x.exe," + std::string(400, 'n'),
          "c,start,C:\\x.exe," + std::string(300, 'a') + ",Demo",
          // the export without all its operands, or with a size that is no whole number
          std::string("p"), std::string("p,C:\\Bilder,640,480"), std::string("p,C:\\Bilder,abc,480,png"),
          std::string("p,C:\\Bilder,640,4.5,png")}) {
        PlantStaleResult();
        uia::Process p = RunMain(parameters);
        EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{300})) << parameters;
        EXPECT_EQ(p.WaitForExit(), 0u) << parameters;
        EXPECT_TRUE(uia::FileExists(victim)) << parameters;
        EXPECT_FALSE(uia::FileExists(ResultFile())) << parameters;
    }
}

TEST(BadInput, ParameterStringsOfAnyShapeEndTheProgramNormally) {
    std::mt19937 random(20261206);
    std::vector<std::string> strings = {
        "c" + std::string(5000, ','),
        std::string(32000, ','),
        "c,makedir," + std::string(32000, 'a'),
        "c,kill," + std::string(30000, '\\'),
        std::string("c,\x01\x02\x7f,\x1b,\t,x"),
        std::string("c,\xe4\xf6\xfc\xdf,\xff\xfe,\x80"),
        "s,all",
        "c,rename,a",
        "c,copy",
        "c,copydialog",
    };
    for (int i = 0; i < 6; ++i) {
        std::string s(1 + random() % 3000, ' ');
        for (char& c : s) {
            const char pool[] = "c,s,p,kill,\\/*?\"' \t\x01\xe4.:";
            c = pool[random() % (sizeof pool - 1)];
        }
        strings.push_back(s);
    }
    for (const auto& parameters : strings) {
        uia::Process p = RunMain(parameters);
        ASSERT_TRUE(p.Started()) << parameters.size();
        // It either ends by itself, or a window of ours keeps it alive (a
        // random verb opens the file browser); never a crash or a hang.
        bool showsWindow = false;
        uia::WaitUntil([&] {
            showsWindow = !uia::FindWindows({p.Pid(), "", "", true}).empty();
            return showsWindow || !p.Running();
        });
        const auto code = p.WaitForExit(uia::Ms{showsWindow ? 0 : 1000});
        if (!code) {
            EXPECT_TRUE(showsWindow) << parameters.substr(0, 80);
            p.Kill();
            continue;
        }
        EXPECT_EQ(*code, 0u) << parameters.substr(0, 80);
    }
}
