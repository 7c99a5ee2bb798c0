// Start-up and dispatch, seen from the front end's side: the about window,
// the stale result file, parameter strings that name no action the program
// can carry out, and strings of any shape.
#include <windows.h>
#include <shlobj.h>

#include <random>

#include "tests/support/display.h"
#include "tests/support/system_test.h"

using namespace systest;

namespace {

void PlantStaleResult() {
    ASSERT_TRUE(uia::WriteFileBytes(ResultFile(), "[Search]\r\nResult=old\r\n"));
}

}  // namespace

// At 96 and 144 dots per inch: every text shows whole in the fonts that
// stand in for the window's, no two controls overlap, and the button's face
// is the window's light grey.
TEST(AboutWindow, EmptyParameterStringShowsItWhollyAndEscEndsTheProgram) {
    const struct {
        const char* text;
        double points;
    } labels[] = {{"TavrinoII", 14.25},      {"Datei- und Dialogdienste", 9.75}, {"tavrino.example", 9.75},
                  {"Lizenziert f\xfcr:", 8.25}, {"Alle Anwender", 9.75},            {"dieses Rechners", 9.75}};
    for (const int dpi : {96, 144}) {
        const DisplayDpi display(dpi);
        PlantStaleResult();
        uia::Process p = RunMain("");
        ASSERT_TRUE(p.Started());
        HWND about = uia::WaitForWindow({p.Pid(), "", "#32770"});
        ASSERT_NE(about, nullptr) << dpi;

        // Borderless, centred on the 1024 x 768 screen, 7755 x 4485 twips.
        const RECT r = uia::WindowRectOnScreen(about);
        EXPECT_EQ(r.right - r.left, tav::TwipsToPixels(7755, dpi)) << dpi;
        EXPECT_EQ(r.bottom - r.top, tav::TwipsToPixels(4485, dpi)) << dpi;
        EXPECT_NEAR((r.left + r.right) / 2, 512, 2);
        EXPECT_FALSE(::GetWindowLongPtrA(about, GWL_STYLE) & WS_CAPTION);
        EXPECT_TRUE(::GetWindowLongPtrA(about, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

        HWND ok = uia::FindControlByText(about, "OK", "Button");
        ASSERT_NE(ok, nullptr);
        std::vector<HWND> controls = {ok};
        for (const auto& label : labels) {
            HWND control = uia::FindControlByText(about, label.text, "Static");
            ASSERT_NE(control, nullptr) << label.text;
            const auto font = tav::CreateUiFont("Microsoft Sans Serif", label.points, true, dpi);
            EXPECT_EQ(TextCutOff(control, font.get(), true), "") << dpi;
            EXPECT_TRUE(WithinClientArea(control, about)) << label.text << " at " << dpi;
            for (HWND other : controls) EXPECT_FALSE(Overlap(control, other)) << label.text << " at " << dpi;
            controls.push_back(control);
        }
        ::RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const RECT b = uia::WindowRectOnScreen(ok);
        const int middle = (b.top + b.bottom) / 2;
        for (const POINT face : {POINT{b.left + 6, middle}, POINT{b.right - 7, middle}, POINT{(b.left + b.right) / 2, b.top + 3}})
            EXPECT_EQ(ScreenPixel(face.x, face.y), RGB(192, 192, 192)) << face.x << "," << face.y << " at " << dpi;
        uia::SaveScreenshot(ScreenshotPath(dpi == 96 ? "about" : "about-" + std::to_string(dpi) + "dpi"));

        // The empty string neither deletes nor writes the result file.
        EXPECT_EQ(uia::ReadFileBytes(ResultFile()), "[Search]\r\nResult=old\r\n");

        uia::PressEscape(about);
        EXPECT_EQ(p.WaitForExit(), 0u);
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

// A capital family letter, a blank before the verb, quotation marks, a
// family or verb without its operands, operands the action cannot use: the
// stale result is deleted, nothing is shown, nothing else happens.
TEST(Dispatch, StringsThatNameNoUsableActionDeleteTheStaleResultAndEndSilently) {
    const std::string scratch = ScratchFolder();
    const std::string victim = scratch + "\\bleibt.txt";
    ASSERT_TRUE(uia::WriteFileBytes(victim, "x"));
    // Shortcut names and folders that lead out of the Desktop or the Programs
    // folder: an existing Startup shortcut stays as it is.
    char appData[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, appData), S_OK);
    const std::string startMenu = std::string(appData) + "\\Microsoft\\Windows\\Start Menu";
    const std::string startup = startMenu + "\\Programs\\StartUp\\existing.lnk";
    ASSERT_TRUE(uia::WriteFileBytes(startup, "alt"));
    for (const std::string& parameters :
         {"C,kill," + victim, "c, kill," + victim, "\"c,kill," + victim + "\"", std::string("c"),
          std::string("x"), std::string("s"), std::string("C,u/x"), std::string(",,,"),
          std::string("c,kill"), std::string("c,makedir"), std::string("c,opendialog,Titel,*.*"),
          std::string("c,Bitte wählen,*.jpg"),
          // shortcuts the shell cannot make
          std::string("c,desk,C:\\x.exe,a|b"), std::string("c,start"),
          "c,desk,C:\\x.exe," + std::string(400, 'n'),
          "c,start,C:\\x.exe," + std::string(300, 'a') + ",Demo",
          std::string("c,desk,C:\\x.exe,..\\..\\..\\..\\windows\\evil"),
          std::string("c,desk,C:\\x.exe,..\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp\\existing"),
          std::string("c,desk,C:\\x.exe,"), std::string("c,start,C:\\x.exe,..\\,Evil"),
          std::string("c,start,C:\\x.exe,..\\..\\Draussen,Evil"),
          std::string("c,uninstall,,Demo\\..\\..\\Draussen,Evil,c,u/C:\\x"),
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
    EXPECT_FALSE(uia::FileExists("C:\\windows\\evil.lnk"));
    EXPECT_EQ(uia::ReadFileBytes(startup), "alt");
    EXPECT_FALSE(uia::FileExists(startMenu + "\\Evil.lnk"));
    EXPECT_FALSE(uia::FolderExists(std::string(appData) + "\\Microsoft\\Windows\\Draussen"));
    char desktop[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
    EXPECT_FALSE(uia::FileExists(std::string(desktop) + "\\.lnk"));
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
