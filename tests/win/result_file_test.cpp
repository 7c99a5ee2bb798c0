// The result writers and the hand-over, called directly from the program's own code.
#include <windows.h>

#include <chrono>
#include <thread>

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
