#include "main/search/pattern_match.h"

#include <gtest/gtest.h>

#include <string>

using namespace tav;

TEST(PatternList, SplitsAtEverySemicolonAndKeepsEmptyPieces) {
    EXPECT_TRUE(SplitPatternList("").empty());
    EXPECT_EQ(SplitPatternList("*.ppt;*.pps"), (std::vector<std::string>{"*.ppt", "*.pps"}));
    EXPECT_EQ(SplitPatternList("a;"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(SplitPatternList(" a ;;b"), (std::vector<std::string>{" a ", "", "b"}));
}

// Every rule of the matcher, a fitting and a failing example each.
TEST(PatternMatch, Rules) {
    enum Case { kExact, kIgnoreCase };
    const struct {
        const char* text;
        const char* list;
        Case mode;
        bool fits;
    } cases[] = {
        // Any piece of the list may fit; the empty list fits nothing, an empty piece only "".
        {"a.pps", "*.ppt;*.pps", kIgnoreCase, true}, {"a.doc", "*.ppt;*.pps", kIgnoreCase, false},
        {"", "", kExact, false}, {"", "x;", kExact, true}, {"y", "x;", kExact, false},
        // A folder's full path ends in "\".
        {"C:\\A\\Daten\\", "*\\DATEN\\", kIgnoreCase, true}, {"C:\\X.PPT\\", "*.ppt", kIgnoreCase, false},
        // Case, with code page 1252 upper-casing of both sides (ranges included).
        {"talk.ppt", "*.PPT", kIgnoreCase, true}, {"talk.ppt", "*.PPT", kExact, false},
        {"Gr\xE4sser", "GR\xC4SSER", kIgnoreCase, true}, {"\xFF", "\x9F", kIgnoreCase, true},
        {"\x9A", "\x8A", kIgnoreCase, true}, {"Gr\xE4sser", "GR\xC4SSER", kExact, false},
        {"B", "[a-c]", kIgnoreCase, true}, {"B", "[a-c]", kExact, false},
        // The whole text must fit; blanks belong to the pattern.
        {"setup.exe.bak", "setup.exe", kExact, false}, {"setup.exe", " setup.exe", kIgnoreCase, false},
        // "?" one character, "*" any run, "#" one digit.
        {"abc", "a?c", kExact, true}, {"ac", "a?c", kExact, false}, {"", "?", kExact, false},
        {"", "*", kExact, true}, {"abxyzc", "a*c", kExact, true}, {"abxyzcd", "a*c", kExact, false},
        {"file7.txt", "file#.txt", kExact, true}, {"fileX.txt", "file#.txt", kExact, false},
        {"file10.txt", "file#.txt", kExact, false},
        // Bracket lists, ranges and "[!...]"; "-" at either end and "!" after the start stand for themselves.
        {"b", "[abc]", kExact, true}, {"bb", "[abc]", kExact, false}, {"B", "[A-F0-9]", kExact, true},
        {"G", "[A-F0-9]", kExact, false}, {"x", "[!A-F0-9]", kExact, true}, {"B", "[!A-F0-9]", kExact, false},
        {"", "[!A-F0-9]", kExact, false}, {"-", "[-a]", kExact, true}, {"-", "[a-]", kExact, true},
        {"!", "[a!]", kExact, true}, {"c", "[a-c]", kExact, true}, {"d", "[a-c]", kExact, false},
        // Special characters are literal inside brackets; "]" outside a list is ordinary.
        {"*", "[*]", kExact, true}, {"a", "[*]", kExact, false}, {"?", "[?]", kExact, true},
        {"#", "[#]", kExact, true}, {"1", "[#]", kExact, false}, {"[", "[[]", kExact, true},
        {"a]", "a]", kExact, true}, {"]ab", "]a[b]", kExact, true}, {"x", "]a[b]", kExact, false},
        // Compared by character code, characters above 127 as 128..255.
        {"_", "[Z-a]", kExact, true}, {"a", "[A-Z]", kExact, false},
        {"\xE9", "[\xE0-\xFF]", kExact, true}, {"e", "[\xE0-\xFF]", kExact, false},
        // "[]" stands for no character, "[!]" for any one.
        {"", "[]", kExact, true}, {"a", "[]", kExact, false}, {"x", "[!]", kExact, true}, {"", "[!]", kExact, false},
        // A piece that is no valid pattern fits everything, also when upper-casing makes a range descend.
        {"anything", "[abc", kExact, true}, {"q", "[z-a]", kExact, true}, {"n.doc", "*.ppt;*.[pp", kExact, true},
        {"q", "[Z-a]", kIgnoreCase, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PatternMatches(c.text, c.list, c.mode == kExact), c.fits)
            << '"' << c.text << "\" against \"" << c.list << '"' << (c.mode == kExact ? "" : ", case ignored");
}

TEST(PatternMatch, ManyStarsStayFast) {
    // A backtracking matcher takes exponential time here.
    const std::string name(20000, 'a');
    EXPECT_FALSE(PatternMatches(name, "*a*a*a*a*a*a*a*a*a*a*a*a*b", true));
    EXPECT_TRUE(PatternMatches(name + "b", "*a*a*a*a*a*a*a*a*a*a*a*a*b", true));
    EXPECT_FALSE(PatternMatches(name, "*?*?*?*?*?*?*?*?*?*?*?*#", true));
}
