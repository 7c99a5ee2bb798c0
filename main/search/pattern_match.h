// File-name patterns of the search: a list of pieces separated by ";", each
// piece with "?" (any one character), "*" (any run, also none), "#" (one digit
// 0-9), bracket lists "[A-F0-9]" / "[!...]" and literal characters. No
// platform headers.
#pragma once

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

// One piece, taken apart once so that testing many names is cheap. Matching
// runs in O(name length × piece length) whatever the piece looks like: a "*"
// only ever resumes from the last star seen, never from earlier ones.
class PatternPiece {
public:
    explicit PatternPiece(std::string_view piece);

    // False for a piece that is no pattern (an unclosed "[" or a range whose
    // bounds are in descending order). Such a piece matches every text.
    bool Valid() const { return valid_; }

    // The whole text fits the piece. `upperCaseText`: each character of the
    // text is upper-cased (code page 1252) before it is compared.
    bool Matches(std::string_view text, bool upperCaseText = false) const;

private:
    enum class Kind : unsigned char { Literal, AnyOne, Digit, Set, Star };
    struct Token {
        Kind kind;
        unsigned char ch;      // Literal
        unsigned short set;    // Set: index into sets_
    };
    bool MatchesOne(const Token& t, unsigned char c) const;
    bool MatchesFrom(std::string_view text, const unsigned char* upper) const;

    std::vector<Token> tokens_;
    std::vector<std::bitset<256>> sets_;
    bool valid_ = true;
    std::size_t width_ = 0;     // characters the non-star tokens stand for
    std::size_t tail_ = 0;      // tokens after the last star (all of them without a star)
    bool hasStar_ = false;
};

// A pattern list: split at every ";" (an empty piece is a piece and matches
// only the empty text; an empty list has no piece and matches nothing).
// Without `caseSensitive` both the list and every tested text are compared in
// upper case (code page 1252, so "ä" fits "Ä").
class PatternList {
public:
    PatternList() = default;
    PatternList(std::string_view list, bool caseSensitive);

    bool Matches(std::string_view text) const;
    std::size_t PieceCount() const { return pieces_.size(); }

private:
    std::vector<PatternPiece> pieces_;
    bool caseSensitive_ = false;
    bool matchesEverything_ = false;  // some piece is no valid pattern
};

// The pattern test in one call (compiles the list each time).
bool PatternMatches(std::string_view text, std::string_view list, bool caseSensitive);

// The pieces of a pattern list, as the list splits them.
std::vector<std::string> SplitPatternList(std::string_view list);

}  // namespace tav
