// The result writers when the temp folder cannot take the file, called
// directly from the program's own code. (What they write is checked by the
// reference's examples.)
#include "main/startup/modINI.h"
#include "main/startup/program_state.h"
#include "tests/win/system_test.h"

TEST(ResultWriters, FailuresAreIgnored) {
    // A temp folder that does not exist: the writes and the hand-over's delete
    // fail, and neither stops the caller.
    tav::State.TempPath = "Q:\\fehlt\\";
    tav::WriteCopyDirResult("0");
    tav::ResultHandOver();
    EXPECT_FALSE(uia::FileExists("Q:\\fehlt\\Tavrino.ini"));
}
