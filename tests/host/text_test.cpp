#include "common/text.h"

#include <gtest/gtest.h>

using namespace tav;

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
