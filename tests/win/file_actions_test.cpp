// "kill" on a name the ANSI code page cannot spell. (The other file actions
// are shown on real files by the reference's examples.)
#include "tests/support/fixtures.h"

using namespace systest;

TEST(Kill, DeletesNamesTheCodePageCannotSpell) {
    const std::string scratch = ScratchFolder();
    ASSERT_TRUE(MakeWideFile(Wide(scratch) + L"\\" + kPolishName));
    RunQuietly("c,kill," + scratch + "\\*.txt");
    EXPECT_FALSE(WideFileExists(Wide(scratch) + L"\\" + kPolishName));
}
