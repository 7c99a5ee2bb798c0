// The wallpaper action with real pictures of every kind the picture dialog
// offers: the bitmap it writes into the Windows folder and the wallpaper the
// platform is told about.
#include <windows.h>

#include <cstring>
#include <functional>

#include "common/win/raii.h"
#include "main/dialogs/settings.h"
#include "tests/win/picture_fixtures.h"
#include "tests/win/file_dialog_probe.h"
#include "tests/win/system_test.h"

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

void SetWallpaperValue(const std::string& path) {
    std::string copy = path;
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, copy.data(), SPIF_UPDATEINIFILE);
}

// Runs the action; it must end by itself without showing a window.
void RunWithoutWindow(const std::string& parameters) {
    uia::Process p = RunMain(parameters);
    EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{200})) << parameters;
    EXPECT_EQ(p.WaitForExit(), 0u) << parameters;
}

// --- fixtures made here ----------------------------------------------------------

std::string Bytes(const void* data, std::size_t size) {
    return std::string(static_cast<const char*>(data), size);
}

// A 24-bit bottom-up BMP whose pixel (x, y) has the colour colour(x, y).
std::string MakeBmp(int width, int height, const std::function<COLORREF(int, int)>& colour) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4d42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::string pixels(stride * height, '\0');
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            char* p = &pixels[(height - 1 - y) * stride + x * 3];
            p[0] = static_cast<char>(GetBValue(c));
            p[1] = static_cast<char>(GetGValue(c));
            p[2] = static_cast<char>(GetRValue(c));
        }
    return Bytes(&file, sizeof file) + Bytes(&info, sizeof info) + pixels;
}

// An icon of 16 x 16 pixels in one colour, with an all-opaque mask.
std::string MakeIcon(COLORREF colour) {
    const int size = 16;
    const std::string bmp = MakeBmp(size, size, [&](int, int) { return colour; });
    BITMAPINFOHEADER info;
    std::memcpy(&info, bmp.data() + sizeof(BITMAPFILEHEADER), sizeof info);
    info.biHeight = size * 2;  // colour image and mask
    const std::string colourBits = bmp.substr(sizeof(BITMAPFILEHEADER) + sizeof info);
    const std::string mask(size * 4, '\0');
    const std::string image = Bytes(&info, sizeof info) + colourBits + mask;

    const WORD header[3] = {0, 1, 1};  // reserved, type icon, one image
    struct Entry {
        BYTE width, height, colours, reserved;
        WORD planes, bits;
        DWORD bytes, offset;
    } entry{size, size, 0, 0, 1, 24, static_cast<DWORD>(image.size()), 6 + 16};
    static_assert(sizeof(Entry) == 16, "icon directory entry");
    return Bytes(header, sizeof header) + Bytes(&entry, sizeof entry) + image;
}

// An enhanced metafile 2 x 1 inches large (frame in 0.01 mm), filled red.
bool MakeEmf(const std::string& path) {
    const RECT frame = {0, 0, 5080, 2540};
    HDC dc = ::CreateEnhMetaFileA(nullptr, path.c_str(), &frame, nullptr);
    if (!dc) return false;
    // Logical units are the reference device's pixels: fill the frame generously.
    const RECT all = {0, 0, 4000, 4000};
    tav::UniqueGdiObject red(::CreateSolidBrush(RGB(255, 0, 0)));
    ::FillRect(dc, &all, static_cast<HBRUSH>(red.get()));
    HENHMETAFILE emf = ::CloseEnhMetaFile(dc);
    if (!emf) return false;
    ::DeleteEnhMetaFile(emf);
    return true;
}

// A Windows metafile with the placeable header: 2 x 1 inches at 1440 units
// per inch, filled blue.
std::string MakePlaceableWmf() {
    HDC dc = ::CreateMetaFileA(nullptr);
    if (!dc) return {};
    ::SetWindowOrgEx(dc, 0, 0, nullptr);
    ::SetWindowExtEx(dc, 2880, 1440, nullptr);
    tav::UniqueGdiObject blue(::CreateSolidBrush(RGB(0, 0, 255)));
    const RECT all = {0, 0, 2880, 1440};
    ::FillRect(dc, &all, static_cast<HBRUSH>(blue.get()));
    HMETAFILE wmf = ::CloseMetaFile(dc);
    if (!wmf) return {};
    std::string records(::GetMetaFileBitsEx(wmf, 0, nullptr), '\0');
    ::GetMetaFileBitsEx(wmf, static_cast<UINT>(records.size()), records.data());
    ::DeleteMetaFile(wmf);

#pragma pack(push, 2)
    struct Placeable {
        DWORD key;
        WORD handle;
        SHORT left, top, right, bottom;
        WORD inch;
        DWORD reserved;
        WORD checksum;
    } header{0x9AC6CDD7, 0, 0, 0, 2880, 1440, 1440, 0, 0};
#pragma pack(pop)
    static_assert(sizeof(Placeable) == 22, "placeable metafile header");
    const auto* words = reinterpret_cast<const WORD*>(&header);
    for (int i = 0; i < 10; ++i) header.checksum ^= words[i];
    return Bytes(&header, sizeof header) + records;
}

// --- reading the written bitmap --------------------------------------------------

struct Bitmap {
    int width = 0, height = 0;
    std::string bytes;
    int stride() const { return (width * 3 + 3) & ~3; }
    COLORREF At(int x, int y) const {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data()) + 54 +
                                 (height - 1 - y) * stride() + x * 3;
        return RGB(p[2], p[1], p[0]);
    }
};

// The file as a 24-bit BMP with consistent headers, or a failure.
::testing::AssertionResult ReadBitmap(const std::string& path, Bitmap& out) {
    const auto bytes = uia::ReadFileBytes(path);
    if (!bytes) return ::testing::AssertionFailure() << path << " is missing";
    if (bytes->size() < 54) return ::testing::AssertionFailure() << "too short";
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    std::memcpy(&file, bytes->data(), sizeof file);
    std::memcpy(&info, bytes->data() + sizeof file, sizeof info);
    if (file.bfType != 0x4d42) return ::testing::AssertionFailure() << "no BM signature";
    if (file.bfSize != bytes->size()) return ::testing::AssertionFailure() << "bfSize " << file.bfSize;
    if (file.bfOffBits != 54 || info.biSize != 40 || info.biPlanes != 1 || info.biBitCount != 24 ||
        info.biCompression != BI_RGB || info.biWidth <= 0 || info.biHeight <= 0)
        return ::testing::AssertionFailure() << "unexpected header";
    out.width = info.biWidth;
    out.height = info.biHeight;
    out.bytes = *bytes;
    if (bytes->size() != 54u + static_cast<unsigned>(out.stride() * out.height))
        return ::testing::AssertionFailure() << "pixel data size";
    return ::testing::AssertionSuccess();
}

bool Near(COLORREF a, COLORREF b, int tolerance = 60) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string Hex(COLORREF c) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kLime = RGB(0, 255, 0);

struct Probe {
    int x, y;
    COLORREF colour;
};

struct PictureCase {
    std::string file;  // name in the scratch folder and in the Windows folder
    std::string bytes;  // empty: made by `make`
    std::function<bool(const std::string&)> make;
    int width, height;
    std::vector<Probe> probes;
};

std::vector<PictureCase> AllPictures() {
    std::vector<PictureCase> cases;
    cases.push_back({"Urlaub.jpg", Bytes(fixtures::kJpeg37x23, sizeof fixtures::kJpeg37x23), {},
                     37, 23, {{4, 11, kRed}, {32, 11, kBlue}}});
    cases.push_back({"Tav Bild.gif", Bytes(fixtures::kGif21x13, sizeof fixtures::kGif21x13), {},
                     21, 13, {{10, 2, kLime}, {10, 11, kBlue}}});
    cases.push_back({"tavstreifen.bmp",
                     MakeBmp(10, 6, [](int x, int) { return x < 5 ? kRed : kLime; }), {}, 10, 6,
                     {{0, 0, kRed}, {9, 5, kLime}}});
    cases.push_back({"tavrahmen.emf", {}, MakeEmf, 192, 96, {{96, 48, kRed}}});
    cases.push_back({"tavplatz.wmf", MakePlaceableWmf(), {}, 192, 96, {{96, 48, kBlue}}});
    cases.push_back({"tavsymbol.ico", MakeIcon(kLime), {}, 16, 16, {{8, 8, kLime}}});
    return cases;
}

TEST(Wallpaper, EveryPictureKindBecomesABitmapOfItsOwnSizeUnderItsOwnName) {
    const std::string scratch = ScratchFolder();
    const std::string windows = WindowsFolder();
    // A bitmap left by an earlier run is replaced.
    ASSERT_TRUE(uia::WriteFileBytes(windows + "\\Urlaub.jpg", MakeBmp(2, 2, [](int, int) {
                                        return RGB(1, 2, 3);
                                    })));
    for (const auto& picture : AllPictures()) {
        SCOPED_TRACE(picture.file);
        const std::string source = scratch + "\\" + picture.file;
        if (picture.make) ASSERT_TRUE(picture.make(source));
        else ASSERT_TRUE(uia::WriteFileBytes(source, picture.bytes));
        const auto sourceBytes = uia::ReadFileBytes(source);

        RunWithoutWindow("c,wallpaper," + source);
        const std::string target = windows + "\\" + picture.file;
        EXPECT_EQ(WallpaperValue(), target);
        Bitmap bitmap;
        ASSERT_TRUE(ReadBitmap(target, bitmap));
        EXPECT_EQ(bitmap.width, picture.width);
        EXPECT_EQ(bitmap.height, picture.height);
        for (const auto& probe : picture.probes)
            EXPECT_TRUE(Near(bitmap.At(probe.x, probe.y), probe.colour))
                << probe.x << "," << probe.y << ": " << Hex(bitmap.At(probe.x, probe.y));
        EXPECT_EQ(uia::ReadFileBytes(source), sourceBytes);  // the picture itself is untouched
        ::DeleteFileA(target.c_str());
    }
}

TEST(Wallpaper, AnyOtherNumberOfElementsSwitchesItOff) {
    const std::string scratch = ScratchFolder();
    const std::string picture = scratch + "\\aus.jpg";
    ASSERT_TRUE(uia::WriteFileBytes(picture, Bytes(fixtures::kJpeg37x23, sizeof fixtures::kJpeg37x23)));
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
    // A missing picture: nothing is converted, the name is used all the same,
    // and a bitmap of that name from an earlier run stays as it is.
    const std::string earlier = MakeBmp(3, 3, [](int, int) { return kBlue; });
    ASSERT_TRUE(uia::WriteFileBytes(windows + "\\Vorher.jpg", earlier));
    SetWallpaperValue("");
    RunWithoutWindow("c,wallpaper,C:\\nirgends\\Vorher.jpg");
    EXPECT_EQ(WallpaperValue(), windows + "\\Vorher.jpg");
    EXPECT_EQ(uia::ReadFileBytes(windows + "\\Vorher.jpg"), earlier);
    ::DeleteFileA((windows + "\\Vorher.jpg").c_str());

    RunWithoutWindow("c,wallpaper,C:\\nirgends\\Neu.jpg");
    EXPECT_EQ(WallpaperValue(), windows + "\\Neu.jpg");
    EXPECT_FALSE(uia::FileExists(windows + "\\Neu.jpg"));

    // "User" is not the keyword: it is a path without folder and extension.
    RunWithoutWindow("c,wallpaper,User");
    EXPECT_EQ(WallpaperValue(), windows + "\\.");
}

TEST(Wallpaper, AFileThatIsNoPictureChangesNothing) {
    const std::string scratch = ScratchFolder();
    const std::string windows = WindowsFolder();
    const std::string text = scratch + "\\Notiz.jpg";
    ASSERT_TRUE(uia::WriteFileBytes(text, "Das ist kein Bild.\r\n"));
    const std::string empty = scratch + "\\Leer.gif";
    ASSERT_TRUE(uia::WriteFileBytes(empty, ""));
    SetWallpaperValue("C:\\windows\\vorher.bmp");
    for (const std::string& picture : {text, empty}) {
        RunWithoutWindow("c,wallpaper," + picture);
        EXPECT_EQ(WallpaperValue(), "C:\\windows\\vorher.bmp") << picture;
    }
    EXPECT_FALSE(uia::FileExists(windows + "\\Notiz.jpg"));
    EXPECT_FALSE(uia::FileExists(windows + "\\Leer.gif"));
}

TEST(Wallpaper, AFileOfTheSameNameInTheWindowsFolderIsReplacedOnlyWhenItIsAPicture) {
    const std::string scratch = ScratchFolder();
    const std::string windows = WindowsFolder();
    const std::string picture = scratch + "\\tavschutz.ini";
    ASSERT_TRUE(uia::WriteFileBytes(picture, MakeBmp(4, 4, [](int, int) { return kRed; })));
    const std::string settings = "[Einstellungen]\r\nWichtig=1\r\n";
    ASSERT_TRUE(uia::WriteFileBytes(windows + "\\tavschutz.ini", settings));
    SetWallpaperValue("C:\\windows\\vorher.bmp");

    RunWithoutWindow("c,wallpaper," + picture);
    EXPECT_EQ(uia::ReadFileBytes(windows + "\\tavschutz.ini"), settings);
    EXPECT_EQ(WallpaperValue(), "C:\\windows\\vorher.bmp");
    ::DeleteFileA((windows + "\\tavschutz.ini").c_str());
}

// --- the picture dialog ----------------------------------------------------------

constexpr const char* kPictureDialogTitle = "Wählen Sie ein Hintergrundbild";

TEST(Wallpaper, UserChoosesThePictureInTheDialogThatStartsInTheRememberedFolder) {
    const std::string scratch = ScratchFolder();
    const std::string windows = WindowsFolder();
    ASSERT_TRUE(uia::WriteFileBytes(scratch + "\\Gewählt.gif",
                                    Bytes(fixtures::kGif21x13, sizeof fixtures::kGif21x13)));
    tav::SaveSetting("Dlg", scratch + "\\");
    SetWallpaperValue("");

    uia::Process p = RunMain("c,wallpaper,user");
    HWND dialog = uia::WaitForWindow({p.Pid(), kPictureDialogTitle, "#32770"});
    ASSERT_NE(dialog, nullptr);
    HWND owner = ::GetWindow(dialog, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_FALSE(::IsWindowVisible(owner));
    EXPECT_EQ(FileTypes(dialog),
              std::vector<std::string>{"Bilddateien (jpg,gif,bmp,wmf,emf)"});
    uia::SaveScreenshot(ScreenshotPath("picturedialog"));
    // A bare name is found in the remembered folder.
    ASSERT_TRUE(uia::SetFileDialogName(dialog, "Gewählt.gif"));
    uia::ConfirmDialog(dialog);
    EXPECT_EQ(p.WaitForExit(), 0u);

    EXPECT_EQ(WallpaperValue(), windows + "\\Gewählt.gif");
    Bitmap bitmap;
    EXPECT_TRUE(ReadBitmap(windows + "\\Gewählt.gif", bitmap));
    EXPECT_EQ(bitmap.width, 21);
    EXPECT_EQ(tav::GetSetting("Dlg"), scratch + "\\");
    EXPECT_FALSE(uia::FileExists(ResultFile()));
    ::DeleteFileA((windows + "\\Gewählt.gif").c_str());
}

TEST(Wallpaper, CancelInThePictureDialogChangesNothing) {
    const std::string scratch = ScratchFolder();
    tav::SaveSetting("Dlg", "C:\\");
    SetWallpaperValue("C:\\windows\\vorher.bmp");

    uia::Process p = RunMain("c,wallpaper,user");
    HWND dialog = uia::WaitForWindow({p.Pid(), kPictureDialogTitle, "#32770"});
    ASSERT_NE(dialog, nullptr);
    uia::CancelDialog(dialog);
    EXPECT_EQ(p.WaitForExit(), 0u);
    EXPECT_EQ(WallpaperValue(), "C:\\windows\\vorher.bmp");
    EXPECT_EQ(tav::GetSetting("Dlg"), "C:\\");
}

}  // namespace
