// The result file as a polling front end sees it, and the writers' handling of
// a file that start-up could not delete, called directly from the program's
// own code. (What each action writes is checked by the reference's examples.)
#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "main/run/result_file.h"
#include "main/run/run_state.h"
#include "tests/support/fixtures.h"

using namespace systest;

namespace {

class ResultWriters : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = ScratchFolder();
        tav::State.TempPath = folder_ + "\\";
        file_ = tav::State.TempPath + "Tavrino.ini";
    }

    std::string folder_, file_;
};

}  // namespace

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
        EXPECT_EQ(Contents(file_), Contents(reference));
        EXPECT_EQ(::GetFileAttributesA(file_.c_str()), ::GetFileAttributesA(reference.c_str()));
        for (const std::string& file : {reference, file_}) {
            ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(file.c_str());
        }
    }
    EXPECT_EQ(Entries(folder_), std::vector<std::string>{});  // no temporary file left
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
