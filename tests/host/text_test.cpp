#include "common/text.h"

#include <gtest/gtest.h>

using namespace tav;

TEST(Trim, RemovesBlanksOnly) {
    EXPECT_EQ(Trim("  C:\\a b  "), "C:\\a b");
    EXPECT_EQ(Trim("\tx\t"), "\tx\t");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim(""), "");
}

TEST(CutAtNul, StopsAtTheFirstNulOrTheBufferEnd) {
    const char buffer[6] = {'a', 'b', '\0', 'c', 'd', 'e'};
    EXPECT_EQ(CutAtNul(buffer, sizeof buffer), "ab");
    EXPECT_EQ(CutAtNul(buffer + 3, 3), "cde");
}

TEST(Cp1252Case, MapsAsciiAndAccentedLetters) {
    EXPECT_EQ(ToUpperCp1252("setup.exe"), "SETUP.EXE");
    EXPECT_EQ(ToUpperCp1252("\xe4\xf6\xfc\xe9"), "\xc4\xd6\xdc\xc9");  // äöüé
    EXPECT_EQ(ToUpperCp1252("\xdf"), "\xdf");                        // ß has no capital here
    EXPECT_EQ(ToUpperCp1252("\xf7\xff\x9a"), "\xf7\x9f\x8a");        // ÷ stays, ÿ->Ÿ, š->Š
    EXPECT_EQ(ToLowerCp1252("\xc4Z\xd7"), "\xe4z\xd7");              // × stays
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        if (ToUpperCp1252(ch) != ch) EXPECT_EQ(ToLowerCp1252(ToUpperCp1252(ch)), ch) << c;
    }
}
