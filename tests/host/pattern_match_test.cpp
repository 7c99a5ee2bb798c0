#include "main/search/pattern_match.h"

#include <gtest/gtest.h>

#include <string>

using namespace tav;

namespace {

bool Like(const std::string& text, const std::string& list, bool caseSensitive = true) {
    return PatternMatches(text, list, caseSensitive);
}

}  // namespace

TEST(PatternList, SplitsAtEverySemicolonAndKeepsEmptyPieces) {
    EXPECT_TRUE(SplitPatternList("").empty());
    EXPECT_EQ(SplitPatternList("*.ppt"), (std::vector<std::string>{"*.ppt"}));
    EXPECT_EQ(SplitPatternList("*.ppt;*.pps"), (std::vector<std::string>{"*.ppt", "*.pps"}));
    EXPECT_EQ(SplitPatternList("a;"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitPatternList(";"), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(SplitPatternList(" a ;;b"), (std::vector<std::string>{" a ", "", "b"}));
}

TEST(PatternList, AnyPieceMayMatch) {
    EXPECT_TRUE(Like("Vortrag.PPT", "*.ppt;*.pps", false));
    EXPECT_TRUE(Like("a.pps", "*.ppt;*.pps", false));
    EXPECT_FALSE(Like("a.doc", "*.ppt;*.pps", false));
    // A folder's path ends in a backslash, so a file pattern does not fit it.
    EXPECT_FALSE(Like("C:\\X.PPT\\", "*.ppt;*.pps", false));
    EXPECT_TRUE(Like("C:\\A\\Daten\\", "*\\DATEN\\", false));
    EXPECT_TRUE(Like("D:\\DATEN\\", "*\\DATEN\\", false));
    EXPECT_FALSE(Like("DATEN", "*\\DATEN\\", false));
    EXPECT_FALSE(Like("C:\\A\\Daten\\x\\", "*\\DATEN\\", false));
}

TEST(PatternList, EmptyListMatchesNothingAndEmptyPieceOnlyTheEmptyText) {
    EXPECT_FALSE(Like("", ""));
    EXPECT_FALSE(Like("a", ""));
    EXPECT_EQ(PatternList("", false).PieceCount(), 0u);
    EXPECT_TRUE(Like("", "x;"));
    EXPECT_FALSE(Like("y", "x;"));
    EXPECT_TRUE(Like("x", "x;"));
}

TEST(PatternList, CaseIsIgnoredUnlessAsked) {
    EXPECT_TRUE(Like("talk.ppt", "*.PPT", false));
    EXPECT_FALSE(Like("talk.ppt", "*.PPT", true));
    EXPECT_TRUE(Like("TALK.PPT", "*.ppt", false));
    EXPECT_FALSE(Like("TALK.PPT", "*.ppt", true));
    // Code page 1252: "ä" fits "Ä", "ÿ" fits "Ÿ", "š" fits "Š".
    EXPECT_TRUE(Like("Gr\xE4sser.txt", "GR\xC4SSER.TXT", false));
    EXPECT_TRUE(Like("\xFF", "\x9F", false));
    EXPECT_TRUE(Like("\x9A", "\x8A", false));
    EXPECT_FALSE(Like("Gr\xE4sser.txt", "GR\xC4SSER.TXT", true));
    // Ranges are upper-cased with the list: [a-c] fits "B" when case is ignored.
    EXPECT_TRUE(Like("B", "[a-c]", false));
    EXPECT_FALSE(Like("B", "[a-c]", true));
    // Blanks belong to the pattern.
    EXPECT_FALSE(Like("setup.exe", " setup.exe", false));
    EXPECT_TRUE(Like(" setup.exe", " setup.exe", false));
}

TEST(PatternPiece, QuestionMarkStarAndDigit) {
    EXPECT_TRUE(Like("abc", "a?c"));
    EXPECT_FALSE(Like("ac", "a?c"));
    EXPECT_FALSE(Like("abbc", "a?c"));
    EXPECT_TRUE(Like("", "*"));
    EXPECT_TRUE(Like("anything.at.all", "*"));
    EXPECT_TRUE(Like("ac", "a*c"));
    EXPECT_TRUE(Like("abxyzc", "a*c"));
    EXPECT_FALSE(Like("abxyzcd", "a*c"));
    EXPECT_TRUE(Like("a", "***a**"));
    EXPECT_TRUE(Like("file7.txt", "file#.txt"));
    EXPECT_FALSE(Like("fileX.txt", "file#.txt"));
    EXPECT_FALSE(Like("file10.txt", "file#.txt"));
    EXPECT_TRUE(Like("2024", "####"));
    EXPECT_FALSE(Like("202", "####"));
    // The whole text must fit.
    EXPECT_FALSE(Like("setup.exe.bak", "setup.exe"));
    EXPECT_FALSE(Like("my setup.exe", "setup.exe"));
    EXPECT_TRUE(Like("setup.exe", "setup.exe"));
    EXPECT_FALSE(Like("", "?"));
}

TEST(PatternPiece, BracketListsAndRanges) {
    for (char c : std::string("ABCDEF0123456789")) EXPECT_TRUE(Like(std::string(1, c), "[A-F0-9]")) << c;
    for (char c : std::string("GZa-")) EXPECT_FALSE(Like(std::string(1, c), "[A-F0-9]")) << c;
    EXPECT_TRUE(Like("x", "[!A-F0-9]"));
    EXPECT_FALSE(Like("B", "[!A-F0-9]"));
    EXPECT_FALSE(Like("", "[!A-F0-9]"));
    EXPECT_TRUE(Like("b", "[abc]"));
    EXPECT_FALSE(Like("bb", "[abc]"));
    EXPECT_TRUE(Like("report-b.doc", "report-[a-c].doc"));
    // A hyphen at the start or the end of a list stands for itself.
    EXPECT_TRUE(Like("-", "[-a]"));
    EXPECT_TRUE(Like("-", "[a-]"));
    EXPECT_TRUE(Like("-", "[!-a]") == false);
    EXPECT_TRUE(Like("b", "[!-a]"));
    // A range with equal bounds is one character.
    EXPECT_TRUE(Like("m", "[m-m]"));
    // "!" stands for itself after the start of a list and outside lists.
    EXPECT_TRUE(Like("!", "[a!]"));
    EXPECT_TRUE(Like("hi!", "hi!"));
}

TEST(PatternPiece, SpecialCharactersAreLiteralInsideBrackets) {
    EXPECT_TRUE(Like("*", "[*]"));
    EXPECT_FALSE(Like("a", "[*]"));
    EXPECT_TRUE(Like("?", "[?]"));
    EXPECT_FALSE(Like("a", "[?]"));
    EXPECT_TRUE(Like("#", "[#]"));
    EXPECT_FALSE(Like("1", "[#]"));
    EXPECT_TRUE(Like("[", "[[]"));
    EXPECT_TRUE(Like("a*b", "a[*]b"));
    EXPECT_FALSE(Like("axb", "a[*]b"));
    // A closing bracket outside a list is an ordinary character.
    EXPECT_TRUE(Like("a]", "a]"));
    EXPECT_TRUE(Like("]", "]"));
}

TEST(PatternPiece, ComparesByCharacterCode) {
    // Upper-case letters come before lower-case ones, "_" between them.
    EXPECT_TRUE(Like("_", "[Z-a]"));
    EXPECT_TRUE(Like("[", "[A-z]"));
    EXPECT_FALSE(Like("a", "[A-Z]"));
    // Characters above 127 count as 128..255.
    EXPECT_TRUE(Like("\xE9", "[\xE0-\xFF]"));
    EXPECT_FALSE(Like("e", "[\xE0-\xFF]"));
    EXPECT_TRUE(Like("\xFF", "[!a-z]"));
    EXPECT_TRUE(Like("\xE4", "?"));
}

TEST(PatternPiece, EmptyBracketsStandForNoCharacter) {
    EXPECT_TRUE(Like("", "[]"));
    EXPECT_FALSE(Like("a", "[]"));
    EXPECT_TRUE(Like("ab", "a[]b"));
    EXPECT_TRUE(Like("a]", "[]a]"));
    // "[!]" is any one character not in an empty list.
    EXPECT_TRUE(Like("x", "[!]"));
    EXPECT_FALSE(Like("", "[!]"));
}

TEST(PatternPiece, NoValidPatternCountsAsAMatch) {
    EXPECT_FALSE(PatternPiece("[abc").Valid());
    EXPECT_FALSE(PatternPiece("a[").Valid());
    EXPECT_FALSE(PatternPiece("[Z-A]").Valid());
    EXPECT_TRUE(PatternPiece("[A-Z]").Valid());
    EXPECT_TRUE(Like("anything", "[abc"));
    EXPECT_TRUE(Like("", "x[abc"));
    EXPECT_TRUE(Like("q", "[z-a]"));
    // Only one piece of the list needs to be invalid.
    EXPECT_TRUE(Like("nothing.doc", "*.ppt;*.[pp"));
    // Upper-casing can turn a valid range into a descending one.
    EXPECT_TRUE(PatternPiece("[Z-a]").Valid());
    EXPECT_TRUE(Like("q", "[Z-a]", false));
    // "]" before "[" is no list at all.
    EXPECT_TRUE(PatternPiece("]a[b]").Valid());
}

TEST(PatternPiece, ManyStarsStayFast) {
    // A backtracking matcher takes exponential time here; this one takes
    // length × pattern steps.
    const std::string name(20000, 'a');
    EXPECT_FALSE(Like(name, "*a*a*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(Like(name + "b", "*a*a*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_FALSE(Like(name, "*?*?*?*?*?*?*?*?*?*?*?*#"));
    EXPECT_TRUE(Like(name, "*[a]*[a]*[!b]*"));
}
