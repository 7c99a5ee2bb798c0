// Start-up, dispatch and the about window, seen from the front end's side.
#include <windows.h>

#include <random>

#include "tests/support/system_test.h"

using namespace systest;

namespace {

void PlantStaleResult() {
    ASSERT_TRUE(uia::WriteFileBytes(ResultFile(), "[Search]\r\nResult=old\r\n"));
}

}  // namespace

TEST(AboutWindow, EmptyParameterStringShowsItAndEscEndsTheProgram) {
    PlantStaleResult();
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

    // The empty string neither deletes nor writes the result file.
    EXPECT_EQ(uia::ReadFileBytes(ResultFile()), "[Search]\r\nResult=old\r\n");

    uia::PressEscape(about);
    EXPECT_EQ(p.WaitForExit(), 0u);
}

TEST(MakeDir, ExistingFolderOrMissingParentCreatesNothingAndShowsNothing) {
    const std::string scratch = ScratchFolder();
    for (const std::string& folder : {scratch, scratch + "\\fehlt\\neu"}) {
        uia::Process p = RunMain("c,makedir," + folder);
        EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{300})) << folder;
        EXPECT_EQ(p.WaitForExit(), 0u) << folder;
    }
    EXPECT_FALSE(uia::FolderExists(scratch + "\\fehlt"));
}

TEST(StaleResult, IsDeletedBeforeAnyAction) {
    for (const char* parameters :
         {"c", "x", "C,u/x", "c,makedir", "s", "\"c,kill,x\"", "c, kill,x"}) {
        PlantStaleResult();
        EXPECT_EQ(RunMainToEnd(parameters), 0u) << parameters;
        EXPECT_FALSE(uia::FileExists(ResultFile())) << parameters;
    }
}

TEST(StaleResult, IsKeptWhenTheResultFileCannotBeDeleted) {
    PlantStaleResult();
    ::SetFileAttributesA(ResultFile().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(RunMainToEnd("c,kill"), 0u);
    EXPECT_TRUE(uia::FileExists(ResultFile()));
    ::SetFileAttributesA(ResultFile().c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(ResultFile().c_str());
}

TEST(Dispatch, UnknownFamiliesAndMissingOperandsEndSilently) {
    const std::string scratch = ScratchFolder();
    const std::string victim = scratch + "\\bleibt.txt";
    ASSERT_TRUE(uia::WriteFileBytes(victim, "x"));
    // A capital family letter, a blank before the verb, quotation marks, the
    // family alone, a verb without its operand: nothing happens.
    for (const std::string& parameters :
         {"C,kill," + victim, "c, kill," + victim, "\"c,kill," + victim + "\"", std::string("c"),
          std::string("c,kill"), std::string("c,makedir"), std::string("c,opendialog,Titel,*.*"),
          std::string("c,Bitte wählen,*.jpg"), std::string(",,,")}) {
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
        "p",
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
