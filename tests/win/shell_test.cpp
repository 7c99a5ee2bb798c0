// Shortcut actions with names the shell cannot take or elements missing. (The
// shortcuts they make are read back by the reference's examples.)
#include "tests/support/system_test.h"

using namespace systest;

TEST(Shortcuts, BadNamesAndMissingElementsEndQuietly) {
    for (const std::string& parameters :
         {std::string("c,desk,C:\\x.exe,a|b"), std::string("c,start"),
          "c,desk,C:\\x.exe," + std::string(400, 'n'),
          "c,start,C:\\x.exe," + std::string(300, 'a') + ",Demo"}) {
        uia::Process p = RunMain(parameters);
        EXPECT_FALSE(ShowsAnyWindow(p.Pid(), uia::Ms{200})) << parameters;
        EXPECT_EQ(p.WaitForExit(), 0u) << parameters;
    }
}
