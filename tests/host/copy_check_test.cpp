#include "main/files/copy_check.h"

#include <gtest/gtest.h>

using namespace tav;

TEST(CopyCheck, AFileArrivedWhenItsSizeAndLastWriteTimeAreTheSource) {
    constexpr std::uint64_t t = 133'000'000'000'000'000ull;  // a time in 2022
    constexpr std::uint64_t second = 10'000'000ull;
    const CopiedFileFacts source{120, t, false};
    const struct {
        const char* what;
        CopiedFileFacts copied;
        bool arrived;
    } cases[] = {
        {"the copy", {120, t, false}, true},
        {"on a FAT volume, rounded up to the next two seconds", {120, t + 2 * second, false}, true},
        {"rounded down", {120, t - 2 * second, false}, true},
        {"an older file of the same size left from before", {120, t - 3 * second, false}, false},
        {"a newer file of the same size", {120, t + 60 * second, false}, false},
        {"another size at the same time", {121, t, false}, false},
        {"an empty file", {0, t, false}, false},
        {"a folder in the file's place", {120, t, true}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(ArrivedAsCopied(source, c.copied), c.arrived) << c.what;
    EXPECT_FALSE(ArrivedAsCopied({0, t, true}, {0, t, true})) << "folders are walked, not compared";
}
