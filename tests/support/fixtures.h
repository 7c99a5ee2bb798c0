// What the system tests make and read back besides the result file: plain and
// wide-named files, pictures drawn with GDI, folder listings, the wallpaper
// the platform stores, and the stand-in presentation program's registration.
#pragma once

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/win/raii.h"
#include "tests/ppt_standin/standin.h"
#include "tests/support/system_test.h"

namespace systest {

// Runs the main program from the front end's folder (or `cwd`) and expects it
// to end by itself with exit code 0, showing no window on the way.
inline void RunQuietly(const std::string& parameters, const std::string& cwd = uia::FrontEndFolder()) {
    uia::Process p = RunMain(parameters, cwd);
    ASSERT_TRUE(p.Started()) << parameters;
    EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{300})) << parameters;
    EXPECT_EQ(p.WaitForExit(uia::Ms{15000}), 0u) << parameters;
}

// Runs the main program from the front end's folder (or `cwd`) until it ends,
// answering every message box it shows with OK; the boxes as "title: text".
inline std::vector<std::string> RunAnsweringBoxes(const std::string& parameters,
                                                  const std::string& cwd = uia::FrontEndFolder()) {
    std::vector<std::string> boxes;
    uia::Process p = RunMain(parameters, cwd);
    const bool ended = uia::WaitUntil(
        [&] {
            if (auto box = uia::WaitForMessageBox(p.Pid(), uia::Ms{0})) {
                boxes.push_back(box->title + ": " + box->text);
                uia::AnswerMessageBox(box->hwnd, IDOK);
                uia::WaitUntil([&] { return !::IsWindow(box->hwnd) || !::IsWindowVisible(box->hwnd); });
            }
            return !p.Running();
        },
        uia::Ms{60000});
    EXPECT_TRUE(ended) << parameters;
    EXPECT_EQ(p.WaitForExit(uia::Ms{0}), 0u) << parameters;
    return boxes;
}

// A folder to delete: a file, a read-only file directly inside, a file in a subfolder.
inline void MakeFolderWithFiles(const std::string& folder) {
    ASSERT_TRUE(uia::MakeFolders(folder + "\\unter"));
    ASSERT_TRUE(uia::WriteFileBytes(folder + "\\a.txt", "a"));
    ASSERT_TRUE(uia::WriteFileBytes(folder + "\\unter\\b.txt", "b"));
    ASSERT_TRUE(uia::WriteFileBytes(folder + "\\schreibgeschützt.txt", "r"));
    ::SetFileAttributesA((folder + "\\schreibgeschützt.txt").c_str(), FILE_ATTRIBUTE_READONLY);
}

// A file's bytes, or "<missing>".
inline std::string Contents(const std::string& path) {
    return uia::ReadFileBytes(path).value_or("<missing>");
}

// The names in `folder` that fit `pattern` ("." and ".." left out).
inline std::vector<std::string> Entries(const std::string& folder, const std::string& pattern = "*") {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    tav::UniqueFindHandle find(::FindFirstFileA((folder + "\\" + pattern).c_str(), &data));
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileA(find.get(), &data))
        if (std::strcmp(data.cFileName, ".") != 0 && std::strcmp(data.cFileName, "..") != 0)
            names.push_back(data.cFileName);
    return names;
}

// An empty file under a name the ANSI code page may not spell.
inline bool MakeWideFile(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    const tav::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             attributes, nullptr));
    return static_cast<bool>(file);
}
inline bool WideFileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
// An ASCII path widened character by character.
inline std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }
// "Łódź.txt": in code page 1252 it is "?ód?.txt".
inline const std::wstring kPolishName = L"\u0141\u00f3d\u017a.txt";

// --- pictures ---------------------------------------------------------------------

// A 24-bit BMP file in one grey.
inline std::string Bitmap(int width, int height, char grey = '\x60') {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    const std::string pixels(static_cast<std::size_t>((width * 3 + 3) & ~3) * height, grey);
    file.bfType = 0x4d42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    return std::string(reinterpret_cast<const char*>(&file), sizeof file) +
           std::string(reinterpret_cast<const char*>(&info), sizeof info) + pixels;
}

// A Windows metafile with the placeable header: `width` x `height` units at 96 per inch.
inline std::string Wmf(int width, int height) {
    HDC dc = ::CreateMetaFileA(nullptr);
    ::SetWindowExtEx(dc, width, height, nullptr);
    ::Ellipse(dc, 0, 0, width, height);
    HMETAFILE metafile = ::CloseMetaFile(dc);
    std::string body(::GetMetaFileBitsEx(metafile, 0, nullptr), '\0');
    ::GetMetaFileBitsEx(metafile, static_cast<UINT>(body.size()), body.data());
    ::DeleteMetaFile(metafile);
    WORD header[11] = {0xCDD7, 0x9AC6, 0, 0, 0, static_cast<WORD>(width), static_cast<WORD>(height), 96, 0, 0, 0};
    for (int i = 0; i < 10; ++i) header[10] ^= header[i];
    return std::string(reinterpret_cast<const char*>(header), sizeof header) + body;
}

// An enhanced metafile 2 x 1 inches large (frame in 0.01 mm), filled red.
inline std::string EnhancedMetafile() {
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

// A picture the build made and the test program carries (RCDATA `id`; see
// tests/win/file_browser_fixtures.rc.in): 1001 is a 640 x 480 JPEG, 1003 a
// 320 x 200 GIF.
inline std::string CarriedPicture(int id) {
    HRSRC info = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_RCDATA);
    if (!info) return {};
    const void* data = ::LockResource(::LoadResource(nullptr, info));
    return std::string(static_cast<const char*>(data), ::SizeofResource(nullptr, info));
}

// The pixel size of a well-formed 24-bit BMP file; {0, 0} for anything else.
inline std::pair<LONG, LONG> BitmapSize(const std::string& path) {
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

// --- the wallpaper ----------------------------------------------------------------

// What the platform stores as the wallpaper ("<absent>" when nothing).
inline std::string WallpaperValue() {
    char value[1024] = {};
    DWORD size = sizeof value;
    if (::RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper", RRF_RT_REG_SZ,
                       nullptr, value, &size) != ERROR_SUCCESS)
        return "<absent>";
    return value;
}
inline void SetWallpaperValue(std::string path) {
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path.data(), SPIF_UPDATEINIFILE);
}

// --- the stand-in presentation program ----------------------------------------------

// Under Wine the classes root is HKLM\Software\Classes; per-user classes do not show there.
inline bool SetClassesValue(const std::string& subKey, const char* name, const std::string& value) {
    tav::UniqueRegKey key;
    return ::RegCreateKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, key.put(), nullptr) == ERROR_SUCCESS &&
           ::RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

inline const std::string kPresentationClass = "PowerPoint.Application";
inline const std::string kStandInServerKey = std::string("CLSID\\") + standin::kClassIdText;

inline void UnregisterStandIn() {
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kPresentationClass.c_str());
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kStandInServerKey.c_str());
}

// The stand-in (tests/ppt_standin) as the registered presentation program,
// with `curVer` as its current version's class name (nothing: no CurVer key).
inline void RegisterStandIn(const std::optional<std::string>& curVer) {
    UnregisterStandIn();
    ASSERT_TRUE(SetClassesValue(kPresentationClass + "\\CLSID", nullptr, standin::kClassIdText));
    ASSERT_TRUE(!curVer || SetClassesValue(kPresentationClass + "\\CurVer", nullptr, *curVer));
    const std::string server = kStandInServerKey + "\\InprocServer32";
    ASSERT_TRUE(SetClassesValue(server, nullptr, uia::ProgramsFolder() + "\\" + standin::kDllName));
    ASSERT_TRUE(SetClassesValue(server, "ThreadingModel", "Apartment"));
}

}  // namespace systest
