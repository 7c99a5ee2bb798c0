// The result writers and the hand-over, called directly from the program's own
// code, and the result file as a polling front end sees it.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "common/win/raii.h"
#include "main/startup/modINI.h"
#include "main/startup/program_state.h"
#include "tests/win/system_test.h"

using namespace systest;

namespace {

class ResultWriters : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = ScratchFolder();
        tav::State.TempPath = folder_ + "\\";
        file_ = tav::State.TempPath + "Tavrino.ini";
    }
    std::string Contents() { return uia::ReadFileBytes(file_).value_or("<missing>"); }
    std::vector<std::string> FilesInFolder() {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data{};
        tav::UniqueFindHandle find(::FindFirstFileA((folder_ + "\\*").c_str(), &data));
        if (find)
            do {
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
            } while (::FindNextFileA(find.get(), &data));
        return names;
    }

    std::string folder_, file_;
};

}  // namespace

TEST_F(ResultWriters, EachWritesItsSectionWithKeysInOrderCrLfAndUnquoted) {
    struct Case {
        void (*write)();
        const char* expected;
    };
    const Case cases[] = {
        {[] { tav::WriteSearchResult("C:\\Programme\\Demo\\", "start.exe"); },
         "[Search]\r\nResult=C:\\Programme\\Demo\\\r\nFile=start.exe\r\n"},
        {[] { tav::WriteCopyDirResult("1"); }, "[CopyDir]\r\nError=1\r\n"},
        {[] { tav::WriteSelectFolderResult("C:\\Mit Blank", "0"); },
         "[SelectFolder]\r\nResult=C:\\Mit Blank\r\nError=0\r\n"},
        {[] { tav::WritePictureDialogResult("jpg", "640", "480", "0"); },
         "[Dialog]\r\nExtension=jpg\r\nWidth=640\r\nHeight=480\r\nError=0\r\n"},
        {[] { tav::WritePictureDialogResult("", "", "", "1"); },
         "[Dialog]\r\nExtension=\r\nWidth=\r\nHeight=\r\nError=1\r\n"},
        {[] { tav::WriteDialogResult("", "1"); }, "[Dialog]\r\nExtension=\r\nError=1\r\n"},
        {[] { tav::WritePowerpointResult("0"); }, "[Powerpoint]\r\nError=0\r\n"},
    };
    for (const auto& c : cases) {
        ::DeleteFileA(file_.c_str());
        c.write();
        EXPECT_EQ(Contents(), c.expected);
    }
    EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"Tavrino.ini"});  // nothing else left
}

TEST_F(ResultWriters, AFileAlreadyThereEndsAsDirectWritesWouldLeaveIt) {
    // Start-up could not delete an earlier result: the section is added to it,
    // or its keys replaced, exactly as key-by-key platform writes do.
    const struct {
        std::string bytes;
        DWORD attributes;
    } earlier[] = {
        {"[Search]\r\nResult=0\r\nFile=alt.txt\r\n", FILE_ATTRIBUTE_NORMAL},
        {"[Dialog]\r\nExtension=alt\r\nWidth=1\r\nHeight=2\r\nError=0\r\n", FILE_ATTRIBUTE_ARCHIVE},
        {"; Kommentar\r\n[dialog]\r\nerror=0\r\nAnders=x\r\n", FILE_ATTRIBUTE_NORMAL},
        {"[Search]\r\nResult=0\r\n", FILE_ATTRIBUTE_READONLY},
        {"[Search]\r\nResult=0\r\n", FILE_ATTRIBUTE_HIDDEN},
    };
    const std::string reference = folder_ + "\\direkt.ini";
    for (const auto& e : earlier) {
        SCOPED_TRACE(e.bytes + " / " + std::to_string(e.attributes));
        for (const std::string& file : {reference, file_}) {
            ASSERT_TRUE(uia::WriteFileBytes(file, e.bytes));
            ::SetFileAttributesA(file.c_str(), e.attributes);
        }
        tav::WriteIniValue(reference, "Dialog", "Extension", "jpg");
        tav::WriteIniValue(reference, "Dialog", "Error", "1");
        tav::WriteDialogResult("jpg", "1");
        EXPECT_EQ(Contents(), uia::ReadFileBytes(reference).value_or("<missing>"));
        EXPECT_EQ(::GetFileAttributesA(file_.c_str()), ::GetFileAttributesA(reference.c_str()));
        for (const std::string& file : {reference, file_}) {
            ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(file.c_str());
        }
    }
    EXPECT_EQ(FilesInFolder(), std::vector<std::string>{});  // no temporary file left
}

TEST_F(ResultWriters, GermanTextsReachTheFileInCodePage1252) {
    tav::WriteSearchResult("C:\\Größe\\", "Übersicht.txt");
    EXPECT_EQ(Contents(), "[Search]\r\nResult=C:\\Gr\xf6\xdf" "e\\\r\nFile=\xdc" "bersicht.txt\r\n");
}

TEST_F(ResultWriters, HandOverHoldsTheFileTwoSecondsThenDeletesIt) {
    tav::WriteCopyDirResult("0");
    const auto start = std::chrono::steady_clock::now();
    std::thread handOver(tav::ResultHandOver);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    EXPECT_TRUE(uia::FileExists(file_));
    handOver.join();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1990));
    EXPECT_FALSE(uia::FileExists(file_));
}

TEST_F(ResultWriters, FailuresAreIgnored) {
    // A temp folder that does not exist: the writes and the hand-over's delete
    // fail, and neither stops the caller.
    tav::State.TempPath = "Q:\\fehlt\\";
    tav::WriteCopyDirResult("0");
    tav::ResultHandOver();
    EXPECT_FALSE(uia::FileExists("Q:\\fehlt\\Tavrino.ini"));
}

// A front end polls for the result file while the program writes it: whenever
// the file is there, it holds the whole section with its last key.
TEST(ResultFile, APollingFrontEndNeverSeesItEmptyOrPartlyWritten) {
    const std::string target = ScratchFolder() + "\\bild";
    const std::string complete = "[Dialog]\r\nExtension=\r\nWidth=\r\nHeight=\r\nError=1\r\n";
    for (int run = 0; run < 5; ++run) {
        SCOPED_TRACE(run);
        ::DeleteFileA(ResultFile().c_str());
        // The file browser's cancel writes four keys, then holds the file.
        uia::Process p = RunMain("c,Titel,*.*," + target);
        HWND browser = uia::WaitForWindow({p.Pid(), "Titel", "#32770"});
        ASSERT_NE(browser, nullptr);

        std::atomic<bool> stop{false};
        std::vector<std::string> seen;  // each differing content, in order
        std::thread poller([&] {
            while (!stop) {
                const auto bytes = uia::ReadFileBytes(ResultFile());
                if (bytes && (seen.empty() || seen.back() != *bytes)) seen.push_back(*bytes);
            }
        });
        uia::PressEscape(browser);
        EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
        stop = true;
        poller.join();
        EXPECT_EQ(seen, std::vector<std::string>{complete});
    }
}
