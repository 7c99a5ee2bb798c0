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

// Start-up could not delete an earlier run's result (a reader held it all the
// while): this run's section replaces it whole, or, where that cannot be
// (read-only), leaves it as it is; the two runs' answers are never mixed.
TEST_F(ResultWriters, AnEarlierResultThatStartUpCouldNotDeleteIsReplacedWholeNeverAddedTo) {
    const std::string written = "[Dialog]\r\nExtension=jpg\r\nError=1\r\n";
    const struct {
        std::string bytes;
        DWORD attributes;
        bool replaced;
    } earlier[] = {
        {"[Search]\r\nResult=0\r\nFile=alt.txt\r\n", FILE_ATTRIBUTE_NORMAL, true},
        {"; Kommentar\r\n[dialog]\r\nerror=0\r\nAnders=x\r\n", FILE_ATTRIBUTE_ARCHIVE, true},
        {"[Search]\r\nResult=0\r\n", FILE_ATTRIBUTE_HIDDEN, true},
        {"[Search]\r\nResult=0\r\n", FILE_ATTRIBUTE_READONLY, false},
    };
    for (const auto& e : earlier) {
        SCOPED_TRACE(e.bytes + " / " + std::to_string(e.attributes));
        ASSERT_TRUE(uia::WriteFileBytes(file_, e.bytes));
        ::SetFileAttributesA(file_.c_str(), e.attributes);
        {
            const tav::UniqueFile reader(::CreateFileA(file_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                       OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(reader);
            tav::RemoveEarlierResultFile();
            ASSERT_TRUE(uia::FileExists(file_));
        }
        tav::WriteDialogResult("jpg", "1");
        EXPECT_EQ(Contents(file_), e.replaced ? written : e.bytes);
        ::SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(file_.c_str());
    }
    EXPECT_EQ(Entries(folder_), std::vector<std::string>{});  // no temporary file left
}

// A reader holds the earlier answer all the while, so that it can be neither
// deleted nor replaced: where it shares writing, this run's section is what
// the file holds afterwards (nothing of the longer earlier answer is left at
// its end); where it does not, the earlier answer stays as it is, unmixed.
TEST_F(ResultWriters, AnEarlierResultHeldAllTheWhileIsWrittenOverWholeWhereItsReaderSharesWriting) {
    const std::string earlier = "[Search]\r\nResult=0\r\nFile=ein recht langer Name einer alten Antwort.txt\r\n";
    const std::string written = "[Dialog]\r\nExtension=jpg\r\nError=1\r\n";
    const struct {
        DWORD share;
        std::string expected;
    } readers[] = {
        {FILE_SHARE_READ | FILE_SHARE_WRITE, written},
        {FILE_SHARE_READ, earlier},
    };
    for (const auto& r : readers) {
        SCOPED_TRACE(r.share);
        ASSERT_TRUE(uia::WriteFileBytes(file_, earlier));
        {
            const tav::UniqueFile reader(::CreateFileA(file_.c_str(), GENERIC_READ, r.share, nullptr,
                                                       OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(reader);
            tav::RemoveEarlierResultFile();
            tav::WriteDialogResult("jpg", "1");
        }
        EXPECT_EQ(Contents(file_), r.expected);
        ::DeleteFileA(file_.c_str());
    }
    EXPECT_EQ(Entries(folder_), std::vector<std::string>{});  // no temporary file left
}

// The same with the program: an earlier success held by a reader that shares
// reading and writing never stands as the answer of a copy that failed.
TEST(ResultFile, AFailingCopyNeverLeavesAnEarlierSuccessHeldByAReaderStanding) {
    ASSERT_TRUE(uia::WriteFileBytes(ResultFile(), "[CopyDir]\r\nError=0\r\n"));
    {
        const tav::UniqueFile reader(::CreateFileA(ResultFile().c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                                   nullptr));
        ASSERT_TRUE(reader);
        EXPECT_EQ(RunMainToEnd("c,copydir," + ScratchFolder() + "\fehlt,C:\nirgends"), 0u);
    }
    EXPECT_EQ(Contents(ResultFile()), "[CopyDir]\r\nError=1\r\n");
    RemoveResultFile();
}

// A front end polls for the result file from before the program starts, and
// holds it open for a moment at each read without sharing its deletion: it
// sees the earlier run's answer until start-up has deleted it, then this
// run's whole section with its last key and nothing else, and the file is
// gone when the program has ended. The
// file browser's cancel writes four keys; "copydir" writes at once after
// start-up has deleted the earlier answer.
TEST(ResultFile, APollingFrontEndSeesOnlyTheEarlierAnswerAndThenThisRunsWholeSection) {
    const std::string earlier = "[Search]\r\nResult=alt\r\nFile=alt.txt\r\n";
    const std::string target = ScratchFolder() + "\\bild";
    const struct {
        std::string parameters, section;
    } cases[] = {
        {"c,Titel,*.*," + target, "[Dialog]\r\nExtension=\r\nWidth=\r\nHeight=\r\nError=1\r\n"},
        {"c,copydir, ,C:\\nirgends", "[CopyDir]\r\nError=1\r\n"},
    };
    for (const auto& c : cases) {
        for (int run = 0; run < 5; ++run) {
            SCOPED_TRACE(c.parameters + " / run " + std::to_string(run));
            ASSERT_TRUE(uia::WriteFileBytes(ResultFile(), earlier));
            std::atomic<bool> stop{false};
            std::vector<std::string> seen;  // each differing content, in order
            std::thread poller([&] {
                while (!stop) {
                    const tav::UniqueFile file(::CreateFileA(ResultFile().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                             nullptr, OPEN_EXISTING, 0, nullptr));
                    if (file) {
                        std::string bytes(4096, '\0');
                        DWORD read = 0;
                        ::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
                        bytes.resize(read);
                        if (seen.empty() || seen.back() != bytes) seen.push_back(bytes);
                        ::Sleep(2);  // a front end's read keeps the file open this long
                    }
                    ::Sleep(1);
                }
            });
            uia::Process p = RunMain(c.parameters);
            if (c.parameters.rfind("c,Titel", 0) == 0) {
                HWND browser = uia::WaitForWindow({p.Pid(), "Titel", "#32770"});
                ASSERT_NE(browser, nullptr);
                EXPECT_FALSE(uia::FileExists(ResultFile())) << "the earlier answer is gone while the window shows";
                uia::PressEscape(browser);
            }
            EXPECT_EQ(p.WaitForExit(uia::Ms{10000}), 0u);
            EXPECT_FALSE(uia::FileExists(ResultFile())) << "gone after the hand-over";
            stop = true;
            poller.join();
            EXPECT_EQ(seen, (std::vector<std::string>{earlier, c.section}));
        }
    }
}
