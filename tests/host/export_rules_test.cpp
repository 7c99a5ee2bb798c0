#include "main/powerpoint/export_rules.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tav;

TEST(VersionCode, MapsTheRegisteredClassName) {
    const std::pair<const char*, const char*> cases[] = {
        {"PowerPoint.Application.10", "10"},
        {"PowerPoint.Application.9", "9"},
        {"PowerPoint.Application.09", "9"},
        {"PowerPoint.Application.8", "8"},
        {"PowerPoint.Application.08", "8"},
        // Later versions keep their number.
        {"PowerPoint.Application.11", "11"},
        {"PowerPoint.Application.16", "16"},
        {"PowerPoint.Application.120", "120"},
        // Everything else is "not installed or unknown".
        {"PowerPoint.Application.7", ""},
        {"PowerPoint.Application.010", ""},
        {"PowerPoint.Application.016", ""},
        {"PowerPoint.Application.0", ""},
        {"PowerPoint.Application.", ""},
        {"PowerPoint.Application.1a", ""},
        {"PowerPoint.Application.-16", ""},
        {"PowerPoint.Application. 9", ""},
        {"PowerPoint.Application.9 ", ""},
        {"PowerPoint.Application", ""},
        {"PowerPoint.Application ist nicht installiert", ""},
        {"", ""},
    };
    for (const auto& [registered, code] : cases)
        EXPECT_EQ(VersionCodeFromClassName(registered), code) << registered;
}

TEST(VersionCode, WithoutADotTheWholeTextCounts) {
    EXPECT_EQ(VersionCodeFromClassName("9"), "9");
    EXPECT_EQ(VersionCodeFromClassName("10"), "10");
    EXPECT_EQ(VersionCodeFromClassName("16"), "16");
    EXPECT_EQ(VersionCodeFromClassName("x"), "");
}

TEST(ExportRoute, FollowsTheVersionCode) {
    EXPECT_EQ(RouteForVersion("8"), ExportRoute::SlideBySlide);
    for (const char* code : {"9", "10", "11", "15", "16", "120"})
        EXPECT_EQ(RouteForVersion(code), ExportRoute::WholePresentation) << code;
    for (const char* code : {"", "7", "0", "08", "09", "010", "abc", "1x"})
        EXPECT_EQ(RouteForVersion(code), ExportRoute::None) << code;
}

TEST(RegistryText, NotInstalledNamesTheClassBeforeTheFirstBackslash) {
    EXPECT_EQ(NotInstalledText("PowerPoint.Application\\CurVer"),
              "PowerPoint.Application ist nicht installiert");
    EXPECT_EQ(NotInstalledText("A\\B\\C"), "A ist nicht installiert");
    EXPECT_EQ(NotInstalledText("Einzeln"), "Einzeln ist nicht installiert");
    EXPECT_EQ(NotInstalledText(""), " ist nicht installiert");
}

TEST(RegistryText, TakesSizeMinusOneCharacters) {
    const char buffer[8] = {'a', 'b', 'c', '\0', ' ', ' ', ' ', ' '};
    EXPECT_EQ(RegistryValueText(buffer, sizeof buffer, 4), "abc");
    EXPECT_EQ(RegistryValueText(buffer, sizeof buffer, 2), "a");
    EXPECT_EQ(RegistryValueText(buffer, sizeof buffer, 1), "");  // the NUL alone
    EXPECT_EQ(RegistryValueText(buffer, sizeof buffer, 0), "");
    // A size beyond the buffer never reads past it.
    EXPECT_EQ(RegistryValueText(buffer, sizeof buffer, 100).size(), sizeof buffer);
}

TEST(WholeNumber, AcceptsDigitsWithAnOptionalSign) {
    EXPECT_EQ(ParseWholeNumber("640"), 640);
    EXPECT_EQ(ParseWholeNumber("0"), 0);
    EXPECT_EQ(ParseWholeNumber("007"), 7);
    EXPECT_EQ(ParseWholeNumber("-5"), -5);
    EXPECT_EQ(ParseWholeNumber("+5"), 5);
    EXPECT_EQ(ParseWholeNumber("2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ParseWholeNumber("-2147483648"), std::numeric_limits<std::int32_t>::min());
}

TEST(WholeNumber, RefusesEverythingElse) {
    for (const char* text : {"", "abc", "-", "+", "12a", "a12", " 640", "640 ", "6 40", "64.0",
                             "640,5", "1e3", "0x10", "&H10", "2147483648", "-2147483649",
                             "99999999999999999999999", "--5", "+-5", "\xbd"})
        EXPECT_FALSE(ParseWholeNumber(text).has_value()) << text;
}

TEST(SlideFiles, FolderGetsOneTrailingBackslash) {
    EXPECT_EQ(WithTrailingBackslash("C:\\Bilder"), "C:\\Bilder\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\Bilder\\"), "C:\\Bilder\\");
    EXPECT_EQ(WithTrailingBackslash(""), "\\");
}

TEST(SlideFiles, NumbersHaveAtLeastThreeDigits) {
    EXPECT_EQ(SlideFileName("C:\\Bilder\\", 1, "png"), "C:\\Bilder\\Folie001.png");
    EXPECT_EQ(SlideFileName("C:\\Bilder\\", 42, "png"), "C:\\Bilder\\Folie042.png");
    EXPECT_EQ(SlideFileName("C:\\Bilder\\", 999, "png"), "C:\\Bilder\\Folie999.png");
    EXPECT_EQ(SlideFileName("C:\\Bilder\\", 1000, "png"), "C:\\Bilder\\Folie1000.png");
    EXPECT_EQ(SlideFileName("C:\\Bilder\\", 12345, "png"), "C:\\Bilder\\Folie12345.png");
}
