#include "main/presentation/export_rules.h"

#include <gtest/gtest.h>

using namespace tav;

TEST(VersionCode, MapsTheRegisteredClassName) {
    const std::pair<const char*, const char*> cases[] = {
        {"PowerPoint.Application.8", "8"},   {"PowerPoint.Application.09", "9"},
        {"PowerPoint.Application.10", "10"}, {"PowerPoint.Application.16", "16"},
        {"PowerPoint.Application.7", ""},    {"PowerPoint.Application.016", ""},
        {"PowerPoint.Application.1a", ""},   {"PowerPoint.Application. 9", ""},
        {"PowerPoint.Application", ""},      {"PowerPoint.Application ist nicht installiert", ""},
        {"", ""},                            {"9", "9"},
    };
    for (const auto& [registered, code] : cases)
        EXPECT_EQ(VersionCodeFromClassName(registered), code) << registered;
}

TEST(ExportRoute, FollowsTheVersionCode) {
    EXPECT_EQ(RouteForVersion("8"), ExportRoute::SlideBySlide);
    for (const char* code : {"9", "10", "16", "120"})
        EXPECT_EQ(RouteForVersion(code), ExportRoute::WholePresentation) << code;
    for (const char* code : {"", "7", "08", "abc"})
        EXPECT_EQ(RouteForVersion(code), ExportRoute::None) << code;
}

TEST(RegistryText, NotInstalledTextAndSizeMinusOneCharacters) {
    EXPECT_EQ(NotInstalledText("PowerPoint.Application\\CurVer"),
              "PowerPoint.Application ist nicht installiert");
    const char buffer[8] = {'a', 'b', 'c', '\0', ' ', ' ', ' ', ' '};
    EXPECT_EQ(RegistryValueText(buffer, sizeof buffer, 4), "abc");
    EXPECT_EQ(RegistryValueText(buffer, sizeof buffer, 0), "");
    // A size beyond the buffer never reads past it.
    EXPECT_EQ(RegistryValueText(buffer, sizeof buffer, 100).size(), sizeof buffer);
}

TEST(WholeNumber, DigitsWithAnOptionalSignInThe32BitRangeBlanksAround) {
    EXPECT_EQ(ParseWholeNumber("640"), 640);
    EXPECT_EQ(ParseWholeNumber("-5"), -5);
    EXPECT_EQ(ParseWholeNumber("2147483647"), 2147483647);
    EXPECT_EQ(ParseWholeNumber(" 640"), 640);
    EXPECT_EQ(ParseWholeNumber("480 "), 480);
    EXPECT_EQ(ParseWholeNumber("  -5  "), -5);
    for (const char* text : {"", " ", "abc", "-", "12a", "6 40", "- 5", "\t640", "640\t", "64.0", " 2147483648 ", "\xbd"})
        EXPECT_FALSE(ParseWholeNumber(text).has_value()) << text;
}

TEST(SlideFiles, OneTrailingBackslashAndAtLeastThreeDigits) {
    EXPECT_EQ(WithTrailingBackslash("C:\\Bilder"), "C:\\Bilder\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\Bilder\\"), "C:\\Bilder\\");
    EXPECT_EQ(SlideFileName("C:\\B\\", 1, "png"), "C:\\B\\Folie001.png");
    EXPECT_EQ(SlideFileName("C:\\B\\", 1000, "png"), "C:\\B\\Folie1000.png");
}
