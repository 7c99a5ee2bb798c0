// The wallpaper action with real pictures: the bitmap it writes into the
// Windows folder and the wallpaper the platform is told about.
#include <windows.h>

#include "main/dialogs/remembered_settings.h"
#include "tests/support/fixtures.h"

using namespace systest;

namespace {

const std::string kEarlier = "C:\\windows\\vorher.bmp";  // the wallpaper before a run
const std::string kWindows = [] { char b[MAX_PATH] = {}; ::GetWindowsDirectoryA(b, MAX_PATH); return std::string(b); }();

// The bitmap's name is the source's plain file name; the source stays as it
// was. A picture that already lies in the Windows folder under that name is
// the wallpaper as it is, in any spelling, and is not written over itself.
TEST(Wallpaper, PicturesBecomeABitmapOfTheirOwnSizeUnderTheirOwnName) {
    const std::string scratch = ScratchFolder(), jpeg = CarriedPicture(1001);
    ASSERT_TRUE(uia::WriteFileBytes(kWindows + "\\Urlaub.jpg", Bitmap(2, 2, 9)) && uia::MakeFolders("C:\\bilder"));
    const std::string inPlace = kWindows + "\\tavquelle.jpg";
    const struct { std::string source, parameter, bytes; LONG width, height; } cases[] = {
        {scratch + "\\Urlaub.jpg", "", jpeg, 640, 480},  // replaces the earlier bitmap of its name
        {scratch + "\\tavrahmen.emf", "", EnhancedMetafile(), 192, 96},  // at the size the platform reports
        // A traversal behind the last backslash named the source itself before.
        {"C:\\bilder\\evil.jpg", "C:\\bilder\\a/../../bilder/evil.jpg", jpeg, 640, 480},
        // Already there: a bitmap as a front end may have left it (rewriting
        // it would fill in its image size), and a JPEG, which stays one.
        {"C:\\windows\\Clouds.bmp", "", Bitmap(3, 2, 0x50), 3, 2},
        {inPlace, "", jpeg, 0, 0},
        {inPlace, "c:/WINDOWS/tavquelle.jpg", jpeg, 0, 0},
        {inPlace, "C:\\users\\..\\windows\\.\\tavquelle.jpg", jpeg, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.parameter.empty() ? c.source : c.parameter);
        const std::string target = kWindows + c.source.substr(c.source.find_last_of('\\'));
        ASSERT_TRUE(!c.bytes.empty() && uia::WriteFileBytes(c.source, c.bytes));
        SetWallpaperValue(kEarlier);
        RunQuietly("c,wallpaper," + (c.parameter.empty() ? c.source : c.parameter));
        EXPECT_EQ(WallpaperValue(), target);
        EXPECT_EQ(BitmapSize(target), std::make_pair(c.width, c.height));
        EXPECT_EQ(uia::ReadFileBytes(c.source), c.bytes);
        ::DeleteFileA(target.c_str());
    }
    EXPECT_EQ(Entries(kWindows, "tav*.tmp"), std::vector<std::string>{});
}

// Any number of elements but three switches the wallpaper off ("c,wallpaper"
// is the reference's example); a picture that does not exist is converted
// into nothing, yet the same-named file becomes the wallpaper.
TEST(Wallpaper, OtherCountsSwitchItOffAndAMissingPictureNamesItsPath) {
    const std::string picture = ScratchFolder() + "\\aus.jpg";
    ASSERT_TRUE(uia::WriteFileBytes(picture, CarriedPicture(1001)));
    const std::pair<std::string, std::string> cases[] = {
        {"c,wallpaper," + picture + ",x", ""}, {"c,wallpaper,,,", ""}, {"c,wallpaper,C:\\nirgends\\Neu.jpg", kWindows + "\\Neu.jpg"},
        {"c,wallpaper,User", kWindows + "\\User."},  // not the keyword: a picture named "User"
    };
    for (const auto& [parameters, wallpaper] : cases) {
        SetWallpaperValue(kEarlier);
        RunQuietly(parameters);
        EXPECT_EQ(WallpaperValue(), wallpaper) << parameters;
    }
    EXPECT_FALSE(uia::FileExists(kWindows + "\\aus.jpg") || uia::FileExists(kWindows + "\\Neu.jpg"));
}

// None of these runs changes the wallpaper or a file in the Windows folder,
// nor leaves a temporary file there.
TEST(Wallpaper, NoPictureNoFileNameOrAFileThatMayNotBeReplacedChangesNothing) {
    const std::string scratch = ScratchFolder();
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\Notiz.jpg", "Das ist kein Bild.\r\n") && uia::WriteFileBytes(scratch + "\\Leer.gif", ""));
    // A picture whose name a file in the Windows folder already has that is no picture.
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\tavschutz.ini", Bitmap(4, 4, 0x7f)));
    const std::string settings = "[Einstellungen]\r\nWichtig=1\r\n";
    ASSERT_TRUE(uia::WriteFileBytes(kWindows + "\\tavschutz.ini", settings));
    // An earlier wallpaper that cannot be replaced while someone reads it
    // without sharing its deletion: the new bitmap fails to take its place.
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\tavfest.bmp", Bitmap(8, 8, 0x20)));
    const std::string earlier = Bitmap(2, 2, 0x10);
    ASSERT_TRUE(uia::WriteFileBytes(kWindows + "\\tavfest.bmp", earlier));
    tav::UniqueFile reader(::CreateFileA((kWindows + "\\tavfest.bmp").c_str(), GENERIC_READ,
                                         FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    SetWallpaperValue(kEarlier);
    for (const std::string& picture :
         {scratch + "\\Notiz.jpg", scratch + "\\Leer.gif", scratch + "\\tavschutz.ini", scratch + "\\tavfest.bmp",
          // No file name: these would name the Windows folder or the one above it.
          scratch + "\\", scratch + "\\.", scratch + "\\..", scratch + "/..", scratch + "\\ . "}) {
        RunQuietly("c,wallpaper," + picture);
        EXPECT_EQ(WallpaperValue(), kEarlier) << picture;
    }
    EXPECT_FALSE(uia::FileExists(kWindows + "\\Notiz.jpg") || uia::FileExists(kWindows + "\\Leer.gif"));
    EXPECT_EQ(uia::ReadFileBytes(kWindows + "\\tavschutz.ini"), settings);
    EXPECT_EQ(uia::ReadFileBytes(kWindows + "\\tavfest.bmp"), earlier);
    EXPECT_EQ(Entries(kWindows, "tav*.tmp"), std::vector<std::string>{});
    reader.reset();
    for (const char* name : {"\\tavschutz.ini", "\\tavfest.bmp"}) ::DeleteFileA((kWindows + name).c_str());
}

// Choosing by a full path is the reference's example; here Cancel, the dialog's
// look, and a bare name found in the remembered folder, which stays remembered.
TEST(Wallpaper, UserCancelsOrChoosesThePictureInTheDialog) {
    const std::string scratch = ScratchFolder();
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\Gewählt.gif", CarriedPicture(1003)));
    SetWallpaperValue(kEarlier);
    for (const bool choose : {false, true}) {
        SCOPED_TRACE(choose ? "choose" : "cancel");
        tav::SaveSetting("Dlg", scratch + "\\");
        uia::Process p = RunMain("c,wallpaper,user");
        HWND dialog = uia::WaitForWindow({p.Pid(), "Wählen Sie ein Hintergrundbild", "#32770"});
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(::IsWindowVisible(::GetWindow(dialog, GW_OWNER)));
        EXPECT_EQ(uia::ComboItems(uia::FindControl(dialog, 0x470)),
                  std::vector<std::string>{"Bilddateien (jpg,gif,bmp,wmf,emf)"});
        if (choose) uia::SaveScreenshot(ScreenshotPath("picturedialog"));
        EXPECT_TRUE(!choose || uia::SetFileDialogName(dialog, "Gewählt.gif"));
        choose ? uia::ConfirmDialog(dialog) : uia::CancelDialog(dialog);
        EXPECT_EQ(p.WaitForExit(), 0u);
        EXPECT_EQ(WallpaperValue(), choose ? kWindows + "\\Gewählt.gif" : kEarlier);
        EXPECT_EQ(BitmapSize(kWindows + "\\Gewählt.gif"), choose ? std::make_pair(320L, 200L) : std::make_pair(0L, 0L));
        EXPECT_EQ(tav::GetSetting("Dlg"), scratch + "\\");
        EXPECT_FALSE(uia::FileExists(ResultFile()));
    }
    ::DeleteFileA((kWindows + "\\Gewählt.gif").c_str());
}

}  // namespace
