// The wallpaper action with real pictures: the bitmap it writes into the
// Windows folder and the wallpaper the platform is told about.
#include <windows.h>

#include <cstring>

#include "common/win/raii.h"
#include "main/dialogs/remembered_settings.h"
#include "tests/support/system_test.h"

using namespace systest;

namespace {

std::string WindowsFolder() {
    char buffer[MAX_PATH] = {};
    ::GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

// What the platform stores as the wallpaper.
std::string WallpaperValue() {
    char value[1024] = {};
    DWORD size = sizeof value;
    if (::RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper", RRF_RT_REG_SZ,
                       nullptr, value, &size) != ERROR_SUCCESS)
        return "<absent>";
    return value;
}

void SetWallpaperValue(std::string path) {
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path.data(), SPIF_UPDATEINIFILE);
}

// Runs the action; it must end by itself without showing a window.
void RunWithoutWindow(const std::string& parameters) {
    uia::Process p = RunMain(parameters);
    EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{200})) << parameters;
    EXPECT_EQ(p.WaitForExit(), 0u) << parameters;
}

// The JPEG and GIF fixtures the build makes (tests/win/CMakeLists.txt).
std::string Resource(int id) {
    HRSRC info = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_RCDATA);
    if (!info) return {};
    const void* data = ::LockResource(::LoadResource(nullptr, info));
    return std::string(static_cast<const char*>(data), ::SizeofResource(nullptr, info));
}

// A 24-bit BMP in one colour.
std::string MakeBmp(int width, int height, char grey) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    const std::string pixels(((width * 3 + 3) & ~3) * height, grey);
    file.bfType = 0x4d42;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    return std::string(reinterpret_cast<const char*>(&file), sizeof file) +
           std::string(reinterpret_cast<const char*>(&info), sizeof info) + pixels;
}

// An enhanced metafile 2 x 1 inches large (frame in 0.01 mm), filled red.
std::string MakeEmf() {
    const RECT frame = {0, 0, 5080, 2540}, all = {0, 0, 4000, 4000};
    HDC dc = ::CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    tav::UniqueGdiObject red(::CreateSolidBrush(RGB(255, 0, 0)));
    ::FillRect(dc, &all, static_cast<HBRUSH>(red.get()));
    HENHMETAFILE emf = ::CloseEnhMetaFile(dc);
    std::string bytes(::GetEnhMetaFileBits(emf, 0, nullptr), '\0');
    ::GetEnhMetaFileBits(emf, static_cast<UINT>(bytes.size()), reinterpret_cast<BYTE*>(bytes.data()));
    ::DeleteEnhMetaFile(emf);
    return bytes;
}

// The pixel size of a well-formed 24-bit BMP file; {0, 0} for anything else.
std::pair<LONG, LONG> BitmapSize(const std::string& path) {
    const auto bytes = uia::ReadFileBytes(path);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    if (!bytes || bytes->size() < 54) return {0, 0};
    std::memcpy(&file, bytes->data(), sizeof file);
    std::memcpy(&info, bytes->data() + sizeof file, sizeof info);
    const auto stride = (info.biWidth * 3 + 3) & ~3;
    if (file.bfType != 0x4d42 || file.bfSize != bytes->size() || info.biBitCount != 24 ||
        bytes->size() != 54u + stride * info.biHeight)
        return {0, 0};
    return {info.biWidth, info.biHeight};
}

TEST(Wallpaper, PicturesBecomeABitmapOfTheirOwnSizeUnderTheirOwnName) {
    const std::string scratch = ScratchFolder();
    const std::string windows = WindowsFolder();
    ASSERT_TRUE(uia::WriteFileBytes(windows + "\\Urlaub.jpg", MakeBmp(2, 2, 9)));  // replaced
    const struct {
        std::string file, bytes;
        LONG width, height;
    } cases[] = {
        {"Urlaub.jpg", Resource(1001), 640, 480},
        {"Tav Bild.gif", Resource(1003), 320, 200},
        {"tavgrau.bmp", MakeBmp(10, 6, 0x40), 10, 6},
        {"tavrahmen.emf", MakeEmf(), 192, 96},  // at the size the platform reports
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_FALSE(c.bytes.empty());
        ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\" + c.file, c.bytes));
        RunWithoutWindow("c,wallpaper," + scratch + "\\" + c.file);
        const std::string target = windows + "\\" + c.file;
        EXPECT_EQ(WallpaperValue(), target);
        EXPECT_EQ(BitmapSize(target), std::make_pair(c.width, c.height));
        EXPECT_EQ(uia::ReadFileBytes(scratch + "\\" + c.file), c.bytes);  // source untouched
        ::DeleteFileA(target.c_str());
    }
}

TEST(Wallpaper, AnyOtherNumberOfElementsSwitchesItOff) {
    const std::string picture = ScratchFolder() + "\\aus.jpg";
    ASSERT_TRUE(uia::WriteFileBytes(picture, Resource(1001)));
    for (const std::string& parameters :
         {std::string("c,wallpaper"), "c,wallpaper," + picture + ",x", std::string("c,wallpaper,,,")}) {
        SetWallpaperValue("C:\\windows\\vorher.bmp");
        RunWithoutWindow(parameters);
        EXPECT_EQ(WallpaperValue(), "") << parameters;
    }
    EXPECT_FALSE(uia::FileExists(WindowsFolder() + "\\aus.jpg"));
}

TEST(Wallpaper, WithoutAReadablePictureThePlatformGetsTheSameNamedPath) {
    const std::string windows = WindowsFolder();
    SetWallpaperValue("");
    RunWithoutWindow("c,wallpaper,C:\\nirgends\\Neu.jpg");
    EXPECT_EQ(WallpaperValue(), windows + "\\Neu.jpg");
    EXPECT_FALSE(uia::FileExists(windows + "\\Neu.jpg"));
    // "User" is not the keyword: it is a picture named "User", without extension.
    RunWithoutWindow("c,wallpaper,User");
    EXPECT_EQ(WallpaperValue(), windows + "\\User.");
}

// Files the wallpaper action left in the Windows folder under a temporary name.
std::vector<std::string> TemporaryFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    tav::UniqueFindHandle find(::FindFirstFileA((folder + "\\tav*.tmp").c_str(), &data));
    if (find) do names.push_back(data.cFileName); while (::FindNextFileA(find.get(), &data));
    return names;
}

TEST(Wallpaper, NoPictureNoFileNameOrAFileThatMayNotBeReplacedChangesNothing) {
    const std::string scratch = ScratchFolder();
    const std::string windows = WindowsFolder();
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\Notiz.jpg", "Das ist kein Bild.\r\n"));
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\Leer.gif", ""));
    // A picture whose name a file in the Windows folder already has that is no picture.
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\tavschutz.ini", MakeBmp(4, 4, 0x7f)));
    const std::string settings = "[Einstellungen]\r\nWichtig=1\r\n";
    ASSERT_TRUE(uia::WriteFileBytes(windows + "\\tavschutz.ini", settings));
    // An earlier wallpaper that cannot be replaced while someone reads it
    // without sharing its deletion: the new bitmap fails to take its place.
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\tavfest.bmp", MakeBmp(8, 8, 0x20)));
    const std::string earlier = MakeBmp(2, 2, 0x10);
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
        RunWithoutWindow("c,wallpaper," + picture);
        EXPECT_EQ(WallpaperValue(), "C:\\windows\\vorher.bmp") << picture;
    }
    EXPECT_FALSE(uia::FileExists(windows + "\\Notiz.jpg"));
    EXPECT_FALSE(uia::FileExists(windows + "\\Leer.gif"));
    EXPECT_EQ(uia::ReadFileBytes(windows + "\\tavschutz.ini"), settings);
    EXPECT_EQ(uia::ReadFileBytes(windows + "\\tavfest.bmp"), earlier);
    EXPECT_EQ(TemporaryFilesIn(windows), std::vector<std::string>{});
    ::DeleteFileA((windows + "\\tavschutz.ini").c_str());
    reader.reset();
    ::DeleteFileA((windows + "\\tavfest.bmp").c_str());
}

TEST(Wallpaper, TheSourcePictureIsNeverWrittenOnto) {
    const std::string windows = WindowsFolder();
    const std::string jpeg = Resource(1001);
    ASSERT_FALSE(jpeg.empty());
    // A traversal behind the last backslash named the source itself before;
    // the bitmap's name is the picture's plain file name.
    uia::RemoveTree("C:\\bilder");
    ASSERT_TRUE(uia::MakeFolders("C:\\bilder"));
    ASSERT_TRUE(uia::WriteFileBytes("C:\\bilder\\evil.jpg", jpeg));
    SetWallpaperValue("C:\\windows\\vorher.bmp");
    RunWithoutWindow("c,wallpaper,C:\\bilder\\a/../../bilder/evil.jpg");
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
        RunWithoutWindow("c,wallpaper," + spelling);
        EXPECT_EQ(uia::ReadFileBytes(source), jpeg) << spelling;
        EXPECT_EQ(WallpaperValue(), "C:\\windows\\vorher.bmp") << spelling;
    }
    EXPECT_EQ(TemporaryFilesIn(windows), std::vector<std::string>{});
    ::DeleteFileA(source.c_str());
}

TEST(Wallpaper, UserCancelsOrChoosesThePictureInTheDialog) {
    const std::string scratch = ScratchFolder();
    const std::string windows = WindowsFolder();
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\Gewählt.gif", Resource(1003)));
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
