// The wallpaper action with real pictures: the bitmap it writes into the
// Windows folder and the wallpaper the platform is told about.
#include <windows.h>

#include "main/dialogs/remembered_settings.h"
#include "tests/support/fixtures.h"

using namespace systest;

namespace {

std::string WindowsFolder() {
    char buffer[MAX_PATH] = {};
    ::GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

TEST(Wallpaper, PicturesBecomeABitmapOfTheirOwnSizeUnderTheirOwnName) {
    const std::string scratch = ScratchFolder();
    const std::string windows = WindowsFolder();
    ASSERT_TRUE(uia::WriteFileBytes(windows + "\\Urlaub.jpg", Bitmap(2, 2, 9)));  // replaced
    const struct {
        std::string file, bytes;
        LONG width, height;
    } cases[] = {
        {"Urlaub.jpg", CarriedPicture(1001), 640, 480},
        {"Tav Bild.gif", CarriedPicture(1003), 320, 200},
        {"tavrahmen.emf", EnhancedMetafile(), 192, 96},  // at the size the platform reports
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_FALSE(c.bytes.empty());
        ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\" + c.file, c.bytes));
        RunQuietly("c,wallpaper," + scratch + "\\" + c.file);
        const std::string target = windows + "\\" + c.file;
        EXPECT_EQ(WallpaperValue(), target);
        EXPECT_EQ(BitmapSize(target), std::make_pair(c.width, c.height));
        EXPECT_EQ(uia::ReadFileBytes(scratch + "\\" + c.file), c.bytes);  // source untouched
        ::DeleteFileA(target.c_str());
    }
}

TEST(Wallpaper, AnyOtherNumberOfElementsSwitchesItOff) {
    const std::string picture = ScratchFolder() + "\\aus.jpg";
    ASSERT_TRUE(uia::WriteFileBytes(picture, CarriedPicture(1001)));
    for (const std::string& parameters :
         {std::string("c,wallpaper"), "c,wallpaper," + picture + ",x", std::string("c,wallpaper,,,")}) {
        SetWallpaperValue("C:\\windows\\vorher.bmp");
        RunQuietly(parameters);
        EXPECT_EQ(WallpaperValue(), "") << parameters;
    }
    EXPECT_FALSE(uia::FileExists(WindowsFolder() + "\\aus.jpg"));
}

TEST(Wallpaper, WithoutAReadablePictureThePlatformGetsTheSameNamedPath) {
    const std::string windows = WindowsFolder();
    SetWallpaperValue("");
    RunQuietly("c,wallpaper,C:\\nirgends\\Neu.jpg");
    EXPECT_EQ(WallpaperValue(), windows + "\\Neu.jpg");
    EXPECT_FALSE(uia::FileExists(windows + "\\Neu.jpg"));
    // "User" is not the keyword: it is a picture named "User", without extension.
    RunQuietly("c,wallpaper,User");
    EXPECT_EQ(WallpaperValue(), windows + "\\User.");
}

TEST(Wallpaper, NoPictureNoFileNameOrAFileThatMayNotBeReplacedChangesNothing) {
    const std::string scratch = ScratchFolder();
    const std::string windows = WindowsFolder();
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\Notiz.jpg", "Das ist kein Bild.\r\n"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\Leer.gif", ""));
    // A picture whose name a file in the Windows folder already has that is no picture.
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\tavschutz.ini", Bitmap(4, 4, 0x7f)));
    const std::string settings = "[Einstellungen]\r\nWichtig=1\r\n";
    ASSERT_TRUE(uia::WriteFileBytes(windows + "\\tavschutz.ini", settings));
    // An earlier wallpaper that cannot be replaced while someone reads it
    // without sharing its deletion: the new bitmap fails to take its place.
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\tavfest.bmp", Bitmap(8, 8, 0x20)));
    const std::string earlier = Bitmap(2, 2, 0x10);
    ASSERT_TRUE(uia::WriteFileBytes(windows + "\\tavfest.bmp", earlier));
    tav::UniqueFile reader(::CreateFileA((windows + "\\tavfest.bmp").c_str(), GENERIC_READ,
                                         FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    SetWallpaperValue("C:\\windows\\vorher.bmp");
    for (const std::string& picture :
         {scratch + "\\Notiz.jpg", scratch + "\\Leer.gif", scratch + "\\tavschutz.ini",
          scratch + "\\tavfest.bmp",
          // No file name: these would name the Windows folder or the one above it.
          scratch + "\\", scratch + "\\.", scratch + "\\..", scratch + "/..", scratch + "\\ . "}) {
        RunQuietly("c,wallpaper," + picture);
        EXPECT_EQ(WallpaperValue(), "C:\\windows\\vorher.bmp") << picture;
    }
    EXPECT_FALSE(uia::FileExists(windows + "\\Notiz.jpg"));
    EXPECT_FALSE(uia::FileExists(windows + "\\Leer.gif"));
    EXPECT_EQ(uia::ReadFileBytes(windows + "\\tavschutz.ini"), settings);
    EXPECT_EQ(uia::ReadFileBytes(windows + "\\tavfest.bmp"), earlier);
    EXPECT_EQ(Entries(windows, "tav*.tmp"), std::vector<std::string>{});
    ::DeleteFileA((windows + "\\tavschutz.ini").c_str());
    reader.reset();
    ::DeleteFileA((windows + "\\tavfest.bmp").c_str());
}

TEST(Wallpaper, TheSourcePictureIsNeverWrittenOnto) {
    const std::string windows = WindowsFolder();
    const std::string jpeg = CarriedPicture(1001);
    ASSERT_FALSE(jpeg.empty());
    // A traversal behind the last backslash named the source itself before;
    // the bitmap's name is the picture's plain file name.
    uia::RemoveTree("C:\\bilder");
    ASSERT_TRUE(uia::MakeFolders("C:\\bilder"));
    ASSERT_TRUE(uia::WriteFileBytes("C:\\bilder\\evil.jpg", jpeg));
    SetWallpaperValue("C:\\windows\\vorher.bmp");
    RunQuietly("c,wallpaper,C:\\bilder\\a/../../bilder/evil.jpg");
    EXPECT_EQ(uia::ReadFileBytes("C:\\bilder\\evil.jpg"), jpeg);
    EXPECT_EQ(WallpaperValue(), windows + "\\evil.jpg");
    EXPECT_EQ(BitmapSize(windows + "\\evil.jpg"), std::make_pair(640L, 480L));
    ::DeleteFileA((windows + "\\evil.jpg").c_str());
    SetWallpaperValue("C:\\windows\\vorher.bmp");

    // A picture in the Windows folder is its own bitmap's name, in any spelling:
    // the action stops and the wallpaper stays as it was.
    const std::string source = windows + "\\tavquelle.jpg";
    ASSERT_TRUE(uia::WriteFileBytes(source, jpeg));
    for (const std::string& spelling :
         {source, std::string("c:/WINDOWS/tavquelle.jpg"), std::string("C:\\users\\..\\windows\\.\\tavquelle.jpg")}) {
        RunQuietly("c,wallpaper," + spelling);
        EXPECT_EQ(uia::ReadFileBytes(source), jpeg) << spelling;
        EXPECT_EQ(WallpaperValue(), "C:\\windows\\vorher.bmp") << spelling;
    }
    EXPECT_EQ(Entries(windows, "tav*.tmp"), std::vector<std::string>{});
    ::DeleteFileA(source.c_str());
}

TEST(Wallpaper, UserCancelsOrChoosesThePictureInTheDialog) {
    const std::string scratch = ScratchFolder();
    const std::string windows = WindowsFolder();
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\Gewählt.gif", CarriedPicture(1003)));
    SetWallpaperValue("C:\\windows\\vorher.bmp");
    for (const bool choose : {false, true}) {
        SCOPED_TRACE(choose ? "choose" : "cancel");
        tav::SaveSetting("Dlg", scratch + "\\");
        uia::Process p = RunMain("c,wallpaper,user");
        HWND dialog = uia::WaitForWindow({p.Pid(), "Wählen Sie ein Hintergrundbild", "#32770"});
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(::IsWindowVisible(::GetWindow(dialog, GW_OWNER)));
        EXPECT_EQ(uia::ComboItems(uia::FindControl(dialog, 0x470)),
                  std::vector<std::string>{"Bilddateien (jpg,gif,bmp,wmf,emf)"});
        if (choose) {
            uia::SaveScreenshot(ScreenshotPath("picturedialog"));
            // A bare name is found in the remembered folder.
            ASSERT_TRUE(uia::SetFileDialogName(dialog, "Gewählt.gif"));
            uia::ConfirmDialog(dialog);
        } else {
            uia::CancelDialog(dialog);
        }
        EXPECT_EQ(p.WaitForExit(), 0u);
        EXPECT_EQ(WallpaperValue(), choose ? windows + "\\Gewählt.gif" : "C:\\windows\\vorher.bmp");
        EXPECT_EQ(BitmapSize(windows + "\\Gewählt.gif"),
                  choose ? std::make_pair(320L, 200L) : std::make_pair(0L, 0L));
        EXPECT_EQ(tav::GetSetting("Dlg"), scratch + "\\");
        EXPECT_FALSE(uia::FileExists(ResultFile()));
    }
    ::DeleteFileA((windows + "\\Gewählt.gif").c_str());
}

}  // namespace
