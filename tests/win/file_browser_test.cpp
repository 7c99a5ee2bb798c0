// The file browser with picture preview, driven like a user drives it.
#include <windows.h>

#include <algorithm>
#include <chrono>

#include "main/dialogs/file_browser_ids.h"
#include "main/dialogs/file_browser_window.h"
#include "main/dialogs/remembered_settings.h"
#include "tests/support/system_test.h"

using namespace systest;
using namespace tav::browser;
using Clock = std::chrono::steady_clock;

namespace {

std::string Resource(int id) {
    HRSRC info = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_RCDATA);
    if (!info) return {};
    const void* data = ::LockResource(::LoadResource(nullptr, info));
    return std::string(static_cast<const char*>(data), ::SizeofResource(nullptr, info));
}
std::string Jpeg640() { return Resource(1001); }
std::string Jpeg800() { return Resource(1002); }
std::string Gif320() { return Resource(1003); }
std::string Bmp120() { return Resource(1004); }
std::string Ico32() { return Resource(1005); }

// A Windows metafile with the placeable header: `width` x `height` units at 96 per inch.
std::string Wmf(int width, int height) {
    HDC dc = ::CreateMetaFileA(nullptr);
    ::SetWindowExtEx(dc, width, height, nullptr);
    ::Rectangle(dc, 0, 0, width, height);
    ::Ellipse(dc, 10, 10, width - 10, height - 10);
    HMETAFILE metafile = ::CloseMetaFile(dc);
    const UINT size = ::GetMetaFileBitsEx(metafile, 0, nullptr);
    std::string body(size, '\0');
    ::GetMetaFileBitsEx(metafile, size, body.data());
    ::DeleteMetaFile(metafile);

    WORD header[11] = {0xCDD7, 0x9AC6, 0, 0, 0, static_cast<WORD>(width), static_cast<WORD>(height),
                       96, 0, 0, 0};
    for (int i = 0; i < 10; ++i) header[10] ^= header[i];
    return std::string(reinterpret_cast<const char*>(header), sizeof header) + body;
}

// An enhanced metafile whose frame is `width` x `height` pixels at 96 DPI.
std::string Emf(int width, int height) {
    const RECT frame = {0, 0, ::MulDiv(width, 2540, 96), ::MulDiv(height, 2540, 96)};
    HDC dc = ::CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    ::Rectangle(dc, 0, 0, width, height);
    ::Ellipse(dc, 5, 5, width - 5, height - 5);
    HENHMETAFILE metafile = ::CloseEnhMetaFile(dc);
    const UINT size = ::GetEnhMetaFileBits(metafile, 0, nullptr);
    std::string bytes(size, '\0');
    ::GetEnhMetaFileBits(metafile, size, reinterpret_cast<BYTE*>(bytes.data()));
    ::DeleteEnhMetaFile(metafile);
    return bytes;
}

void Put(const std::string& path, const std::string& bytes, DWORD attributes = 0) {
    ASSERT_FALSE(bytes.empty()) << path;
    ASSERT_TRUE(uia::WriteFileBytes(path, bytes)) << path;
    if (attributes) ::SetFileAttributesA(path.c_str(), attributes);
}

// The result file once its last key ("Error") is written: the keys arrive one by one.
std::optional<std::string> WaitForResult() {
    std::optional<std::string> bytes;
    uia::WaitUntil([&] {
        bytes = uia::ReadFileBytes(ResultFile());
        return bytes && bytes->find("Error=") != std::string::npos &&
               bytes->size() >= 2 && bytes->compare(bytes->size() - 2, 2, "\r\n") == 0;
    });
    return bytes && bytes->find("Error=") != std::string::npos ? bytes : std::nullopt;
}

std::string SizeText(int w, int h) {
    return "Dateigröße: " + std::to_string(w) + " x " + std::to_string(h);
}

struct Browser {
    uia::Process process;
    HWND window = nullptr;

    HWND Item(int id) const { return uia::FindControl(window, id); }
    std::string Text(int id) const { return uia::TextOf(Item(id)); }
    // Selects a file like a click on it and waits until the preview text says `sizeLabelText`.
    bool Pick(const std::string& file, const std::string& sizeLabelText) const {
        return uia::SelectListItem(Item(FileList), file) &&
               uia::WaitUntil([&] { return Text(SizeLabel) == sizeLabelText; }, uia::Ms{5000});
    }
    SIZE SourceSize() const {
        RECT r{};
        ::GetClientRect(Item(SourcePicture), &r);
        return {r.right, r.bottom};
    }
    std::vector<std::string> Files() const { return uia::ListItems(Item(FileList)); }
    std::vector<std::string> Folders() const { return uia::ListItems(Item(FolderList)); }
};

class FileBrowser : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = ScratchFolder();
        pictures_ = scratch_ + "\\bilder";
        uia::MakeFolders(pictures_ + "\\unter");
        target_ = scratch_ + "\\ziel\\bild";
        uia::MakeFolders(scratch_ + "\\ziel");
        // Every test starts on the picture folder.
        tav::SaveSetting("Drive", "c:");
        tav::SaveSetting("Dir", pictures_);
        ::DeleteFileA(ResultFile().c_str());
    }

    Browser Open(const std::string& parameters) {
        Browser b;
        b.process = RunMain(parameters);
        b.window = uia::WaitForWindow({b.process.Pid(), "", "#32770"});
        EXPECT_NE(b.window, nullptr) << parameters;
        return b;
    }

    std::string scratch_, pictures_, target_;
};

}  // namespace

TEST_F(FileBrowser, RequiredSizeEnablesOkOnlyForAPictureOfThatSizeAndOkCopiesIt) {
    Put(pictures_ + "\\bild640.jpg", Jpeg640());
    Put(pictures_ + "\\bild800.jpg", Jpeg800());
    Put(pictures_ + "\\bild320.gif", Gif320());
    Put(pictures_ + "\\text.txt", "kein Bild");
    Put(pictures_ + "\\versteckt.jpg", Jpeg640(), FILE_ATTRIBUTE_HIDDEN);
    Put(pictures_ + "\\system.jpg", Jpeg640(), FILE_ATTRIBUTE_SYSTEM);

    Browser b = Open("c,Bitte Bild wählen,*.jpg;*.gif," + target_ + ",640,480");
    ASSERT_NE(b.window, nullptr);
    EXPECT_EQ(uia::TextOf(b.window), "Bitte Bild wählen");
    EXPECT_EQ(b.Files(), (std::vector<std::string>{"bild320.gif", "bild640.jpg", "bild800.jpg"}));
    EXPECT_FALSE(uia::IsEnabled(b.Item(OkButton)));

    ASSERT_TRUE(b.Pick("bild800.jpg", SizeText(800, 600)));
    EXPECT_FALSE(uia::IsEnabled(b.Item(OkButton)));
    EXPECT_EQ(b.Text(StatusLabel), "Das ausgewählte Bild weist nicht die Masse auf: 640 x 480 .");

    ASSERT_TRUE(b.Pick("bild640.jpg", SizeText(640, 480)));
    EXPECT_TRUE(uia::IsEnabled(b.Item(OkButton)));
    EXPECT_EQ(b.Text(StatusLabel), "");
    ::RedrawWindow(b.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    uia::SaveScreenshot(ScreenshotPath("file_browser_preview"));

    const auto t0 = Clock::now();
    uia::Click(b.Item(OkButton));
    const auto result = WaitForResult();
    EXPECT_EQ(result.value_or(""), "[Dialog]\r\nExtension=jpg\r\nWidth=640\r\nHeight=480\r\nError=0\r\n");
    EXPECT_EQ(uia::ReadFileBytes(target_ + ".jpg"), Jpeg640());
    EXPECT_TRUE(uia::WaitForFileGone(ResultFile(), uia::Ms{5000}));
    EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(1500));
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{3000}), 0u);
    EXPECT_EQ(tav::GetSetting("Dir"), pictures_);  // OK remembers the folder
}

TEST_F(FileBrowser, PicturesPreviewWithTheirSizeOthersShowTheSymbolAndAFailedCopyIsReported) {
    Put(pictures_ + "\\c.wmf", Wmf(200, 100));
    Put(pictures_ + "\\d.emf", Emf(160, 120));
    Put(pictures_ + "\\e.gif", Gif320());
    Put(pictures_ + "\\f.bmp", Bmp120());
    Put(pictures_ + "\\g.ico", Ico32());
    Put(pictures_ + "\\notiz.txt", "Text");
    // The target's folder does not exist: the copy fails.
    Browser b = Open("c,Titel,*.*," + scratch_ + "\\fehlt\\bild");
    ASSERT_NE(b.window, nullptr);
    EXPECT_TRUE(uia::IsEnabled(b.Item(OkButton)));  // no required size
    const struct {
        const char* file;
        int width, height;
    } pictures[] = {{"c.wmf", 200, 100}, {"d.emf", 160, 120}, {"f.bmp", 120, 90},
                  {"g.ico", 32, 32},    {"e.gif", 320, 200}};
    for (const auto& picture : pictures) {
        EXPECT_TRUE(b.Pick(picture.file, SizeText(picture.width, picture.height))) << b.Text(SizeLabel);
        EXPECT_EQ(b.SourceSize().cx, picture.width) << picture.file;
        EXPECT_EQ(b.SourceSize().cy, picture.height) << picture.file;
        EXPECT_TRUE(uia::IsVisible(b.Item(PreviewBox))) << picture.file;
    }
    ASSERT_TRUE(b.Pick("notiz.txt", "Vorschau nicht möglich"));
    EXPECT_FALSE(uia::IsVisible(b.Item(PreviewBox)));
    EXPECT_TRUE(uia::IsVisible(b.Item(NoPreviewFrame)));

    // OK reports the last picture's size; the copy failed, so the error is "1".
    uia::Click(b.Item(OkButton));
    EXPECT_EQ(WaitForResult().value_or(""),
              "[Dialog]\r\nExtension=txt\r\nWidth=320\r\nHeight=200\r\nError=1\r\n");
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
}

TEST_F(FileBrowser, EnterWithNothingSelectedReportsTheFailureAndEscCancels) {
    {
        Browser b = Open("c,Titel,*.*," + target_);
        ASSERT_NE(b.window, nullptr);
        uia::PressEnter(b.window);  // Enter is OK while OK is enabled
        EXPECT_EQ(WaitForResult().value_or(""),
                  "[Dialog]\r\nExtension=\r\nWidth=89\r\nHeight=73\r\nError=1\r\n");
        EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
    }
    Put(pictures_ + "\\bild.jpg", Jpeg640());
    Browser b = Open("c,Titel,*.jpg," + target_);
    ASSERT_NE(b.window, nullptr);
    ASSERT_TRUE(b.Pick("bild.jpg", SizeText(640, 480)));
    const auto t0 = Clock::now();
    uia::PressEscape(b.window);
    EXPECT_EQ(WaitForResult().value_or(""), "[Dialog]\r\nExtension=\r\nWidth=\r\nHeight=\r\nError=1\r\n");
    // The window goes at once; the result stays two seconds.
    EXPECT_TRUE(uia::WaitForWindowGone({b.process.Pid(), "", "#32770"}, uia::Ms{1000}));
    EXPECT_TRUE(uia::WaitForFileGone(ResultFile(), uia::Ms{5000}));
    EXPECT_GE(Clock::now() - t0, std::chrono::milliseconds(1500));
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{3000}), 0u);
    EXPECT_FALSE(uia::FileExists(target_ + ".jpg"));
}

TEST_F(FileBrowser, FoldersOpenOnDoubleClickTheCloseBoxWritesNothingAndTheFolderIsRemembered) {
    Put(pictures_ + "\\unter\\tief.jpg", Jpeg640());
    uia::MakeFolders(pictures_ + "\\unter\\noch tiefer");
    const std::string testFolder = scratch_.substr(scratch_.find_last_of('\\') + 1);
    {
        Browser b = Open("c,Titel,*.jpg," + target_);
        ASSERT_NE(b.window, nullptr);
        EXPECT_EQ(b.Folders(), (std::vector<std::string>{"c:\\", "scratch", testFolder, "bilder", "unter"}));
        EXPECT_EQ(uia::ListSelection(b.Item(FolderList)), 3);  // the open folder
        ASSERT_TRUE(uia::DoubleClickListItem(b.Item(FolderList), "unter"));
        ASSERT_TRUE(uia::WaitUntil([&] { return b.Files() == std::vector<std::string>{"tief.jpg"}; }));
        EXPECT_EQ(b.Folders().back(), "noch tiefer");
        uia::CloseBox(b.window);
        EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
        EXPECT_FALSE(uia::FileExists(ResultFile()));
        EXPECT_EQ(tav::GetSetting("Dir"), pictures_ + "\\unter");
    }
    Browser b = Open("c,Titel,*.jpg," + target_);
    ASSERT_NE(b.window, nullptr);
    EXPECT_EQ(b.Files(), (std::vector<std::string>{"tief.jpg"}));
    uia::CloseBox(b.window);
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
}

TEST_F(FileBrowser, ADriveThatIsNotReadySaysSoOnceAndAReadyDriveOpens) {
    Put(pictures_ + "\\a.jpg", Jpeg640());
    Browser b = Open("c,Titel,*.jpg," + target_);
    ASSERT_NE(b.window, nullptr);
    HWND drives = b.Item(DriveList);
    const auto entries = uia::ComboItems(drives);
    EXPECT_EQ(uia::TextOf(drives).substr(0, 2), "c:");
    const auto d = std::find_if(entries.begin(), entries.end(),
                                [](const std::string& e) { return e.substr(0, 2) == "d:"; });
    ASSERT_NE(d, entries.end());

    const auto foldersBefore = b.Folders();
    ASSERT_TRUE(uia::SelectComboItem(drives, "f:"));
    const auto box = uia::WaitForMessageBox(b.process.Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title, "Tavrino");
    EXPECT_EQ(box->text, "Laufwerk nicht bereit oder verfügbar!");
    uia::AnswerMessageBox(box->hwnd, IDOK);
    ASSERT_TRUE(uia::WaitUntil([&] { return !uia::WaitForMessageBox(b.process.Pid(), uia::Ms{0}); }));
    EXPECT_FALSE(uia::WaitForMessageBox(b.process.Pid(), uia::Ms{700}));  // once only
    EXPECT_EQ(b.Folders(), foldersBefore);
    EXPECT_EQ(uia::TextOf(drives), "f:");

    ASSERT_TRUE(uia::SelectComboItem(drives, *d));
    ASSERT_TRUE(uia::WaitUntil([&] { return b.Folders().front() == "d:\\"; }));
    uia::CloseBox(b.window);
    EXPECT_EQ(b.process.WaitForExit(uia::Ms{5000}), 0u);
    EXPECT_EQ(tav::GetSetting("Drive").substr(0, 2), "d:");
}
