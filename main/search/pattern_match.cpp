#include "main/search/pattern_match.h"

#include "common/text.h"

namespace tav {

PatternPiece::PatternPiece(std::string_view piece) {
    const std::size_t n = piece.size();
    std::size_t i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(piece[i]);
        switch (c) {
            case '?': tokens_.push_back({Kind::AnyOne, 0, 0}); ++i; break;
            case '#': tokens_.push_back({Kind::Digit, 0, 0}); ++i; break;
            case '*':
                // A run of stars is one star.
                if (tokens_.empty() || tokens_.back().kind != Kind::Star)
                    tokens_.push_back({Kind::Star, 0, 0});
                ++i;
                break;
            case '[': {
                const std::size_t close = piece.find(']', i + 1);
                if (close == std::string_view::npos) {
                    valid_ = false;
                    tokens_.clear();
                    return;
                }
                std::string_view list = piece.substr(i + 1, close - i - 1);
                i = close + 1;
                if (list.empty()) break;  // "[]" stands for no character at all
                bool negate = false;
                if (list.front() == '!') {
                    negate = true;
                    list.remove_prefix(1);
                }
                std::bitset<256> set;
                for (std::size_t k = 0; k < list.size(); ++k) {
                    const auto lo = static_cast<unsigned char>(list[k]);
                    // A hyphen between two characters makes a range; at the
                    // start or the end of the list it stands for itself.
                    if (k + 2 < list.size() && list[k + 1] == '-') {
                        const auto hi = static_cast<unsigned char>(list[k + 2]);
                        if (hi < lo) {
                            valid_ = false;
                            tokens_.clear();
                            return;
                        }
                        for (unsigned v = lo; v <= hi; ++v) set.set(v);
                        k += 2;
                    } else {
                        set.set(lo);
                    }
                }
                if (negate) set.flip();
                sets_.push_back(set);
                tokens_.push_back({Kind::Set, 0, static_cast<unsigned short>(sets_.size() - 1)});
                break;
            }
            default: tokens_.push_back({Kind::Literal, c, 0}); ++i; break;
        }
    }
    for (const Token& t : tokens_) {
        if (t.kind == Kind::Star) {
            hasStar_ = true;
            tail_ = 0;
        } else {
            ++width_;
            ++tail_;
        }
    }
}

bool PatternPiece::MatchesOne(const Token& t, unsigned char c) const {
    switch (t.kind) {
        case Kind::Literal: return c == t.ch;
        case Kind::AnyOne: return true;
        case Kind::Digit: return c >= '0' && c <= '9';
        case Kind::Set: return sets_[t.set].test(c);
        case Kind::Star: return false;
    }
    return false;
}

namespace {

// Code page 1252 upper case as a table (the matcher's inner loop).
struct UpperTable {
    unsigned char map[256];
    UpperTable() {
        for (int c = 0; c < 256; ++c)
            map[c] = static_cast<unsigned char>(ToUpperCp1252(static_cast<char>(c)));
    }
};
const UpperTable kUpper;

struct IdentityTable {
    unsigned char map[256];
    IdentityTable() {
        for (int c = 0; c < 256; ++c) map[c] = static_cast<unsigned char>(c);
    }
};
const IdentityTable kIdentity;

}  // namespace

bool PatternPiece::Matches(std::string_view text, bool upperCaseText) const {
    if (!valid_) return true;
    const unsigned char* map = upperCaseText ? kUpper.map : kIdentity.map;
    // Cheap rejections first: the length, and the characters after the last star.
    const std::size_t n = text.size();
    if (n < width_ || (!hasStar_ && n != width_)) return false;
    for (std::size_t k = 1; k <= tail_; ++k) {
        const auto c = map[static_cast<unsigned char>(text[n - k])];
        if (!MatchesOne(tokens_[tokens_.size() - k], c)) return false;
    }
    return MatchesFrom(text, map);
}

bool PatternPiece::MatchesFrom(std::string_view text, const unsigned char* map) const {
    const std::size_t n = text.size(), m = tokens_.size();
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t t = 0, p = 0, resumeP = kNone, resumeT = 0;
    // Every token but the star stands for exactly one character, so the only
    // choice is how much a star takes: on a mismatch the last star takes one
    // character more. Earlier stars never need to be revisited.
    while (t < n) {
        if (p < m && tokens_[p].kind == Kind::Star) {
            resumeP = ++p;
            resumeT = t;
            continue;
        }
        const auto c = map[static_cast<unsigned char>(text[t])];
        if (p < m && MatchesOne(tokens_[p], c)) {
            ++p;
            ++t;
        } else if (resumeP != kNone) {
            p = resumeP;
            t = ++resumeT;
        } else {
            return false;
        }
    }
    while (p < m && tokens_[p].kind == Kind::Star) ++p;
    return p == m;
}

std::vector<std::string> SplitPatternList(std::string_view list) {
    std::vector<std::string> pieces;
    if (list.empty()) return pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t semi = list.find(';', start);
        if (semi == std::string_view::npos) {
            pieces.emplace_back(list.substr(start));
            return pieces;
        }
        pieces.emplace_back(list.substr(start, semi - start));
        start = semi + 1;
    }
}

PatternList::PatternList(std::string_view list, bool caseSensitive) : caseSensitive_(caseSensitive) {
    const std::string prepared = caseSensitive ? std::string(list) : ToUpperCp1252(list);
    for (const std::string& piece : SplitPatternList(prepared)) {
        pieces_.emplace_back(piece);
        if (!pieces_.back().Valid()) matchesEverything_ = true;
    }
}

bool PatternList::Matches(std::string_view text) const {
    if (matchesEverything_) return true;
    for (const PatternPiece& piece : pieces_)
        if (piece.Matches(text, !caseSensitive_)) return true;
    return false;
}

bool PatternMatches(std::string_view text, std::string_view list, bool caseSensitive) {
    return PatternList(list, caseSensitive).Matches(text);
}

}  // namespace tav
