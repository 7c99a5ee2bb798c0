#include "main/files/copy_source.h"

#include <gtest/gtest.h>

using tav::ContentsSourceFolder;

TEST(ContentsSourceFolder, ABareDriveIsItsRootAndEverythingElseStaysAsItIs) {
    const struct {
        const char* operand;
        const char* folder;
    } cases[] = {
        {"D:", "D:\\"},          {"d:", "d:\\"},          {"Z:", "Z:\\"},
        {"D:\\", "D:\\"},        {"D:Demo", "D:Demo"},    {"D:.", "D:."},
        {"D:\\Demo", "D:\\Demo"}, {"\\", "\\"},           {".", "."},
        {"1:", "1:"},            {"DD:", "DD:"},          {":", ":"},
        {"\\\\server\\share", "\\\\server\\share"},       {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ContentsSourceFolder(c.operand), c.folder) << c.operand;
}
