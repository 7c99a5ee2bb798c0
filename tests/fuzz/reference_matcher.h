// Straightforward matchers of the search's file-name patterns, written for
// clarity rather than speed: the fuzzer compares the real matcher with the
// first, the benchmark measures the second.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"

namespace reference {

// Is `c` in the bracket list `content` (the text between "[" and "]", not empty)?
inline bool InList(std::string_view content, unsigned char c) {
    bool negate = false;
    if (!content.empty() && content[0] == '!') {
        negate = true;
        content.remove_prefix(1);
    }
    bool found = false;
    for (std::size_t k = 0; k < content.size(); ++k) {
        const auto lo = static_cast<unsigned char>(content[k]);
        if (k + 2 < content.size() && content[k + 1] == '-') {
            const auto hi = static_cast<unsigned char>(content[k + 2]);
            if (c >= lo && c <= hi) found = true;
            k += 2;
        } else if (c == lo) {
            found = true;
        }
    }
    return found != negate;
}

// False when the piece has an unclosed "[" or a descending range.
inline bool PieceIsValid(std::string_view piece) {
    for (std::size_t i = 0; i < piece.size(); ++i) {
        if (piece[i] != '[') continue;
        const std::size_t close = piece.find(']', i + 1);
        if (close == std::string_view::npos) return false;
        std::string_view content = piece.substr(i + 1, close - i - 1);
        if (!content.empty() && content[0] == '!') content.remove_prefix(1);
        for (std::size_t k = 0; k + 2 < content.size(); ++k) {
            if (content[k + 1] != '-') continue;
            if (static_cast<unsigned char>(content[k + 2]) < static_cast<unsigned char>(content[k]))
                return false;
            k += 2;
        }
        i = close;
    }
    return true;
}

// Plain recursion over pattern and text; with `memo` it remembers every
// (pattern position, text position) answer, without it it is the classic
// backtracking matcher whose time grows exponentially with the stars.
class Matcher {
public:
    Matcher(std::string_view piece, std::string_view text, bool memoize)
        : p_(piece), t_(text), memoize_(memoize) {
        if (memoize_) memo_.assign((p_.size() + 1) * (t_.size() + 1), -1);
    }
    bool Run() { return At(0, 0); }

private:
    bool At(std::size_t i, std::size_t j) {
        if (!memoize_) return Compute(i, j);
        signed char& m = memo_[i * (t_.size() + 1) + j];
        if (m < 0) m = Compute(i, j) ? 1 : 0;
        return m == 1;
    }
    bool Compute(std::size_t i, std::size_t j) {
        if (i == p_.size()) return j == t_.size();
        const bool more = j < t_.size();
        const auto c = more ? static_cast<unsigned char>(t_[j]) : 0;
        switch (p_[i]) {
            case '*': return At(i + 1, j) || (more && At(i, j + 1));
            case '?': return more && At(i + 1, j + 1);
            case '#': return more && c >= '0' && c <= '9' && At(i + 1, j + 1);
            case '[': {
                const std::size_t close = p_.find(']', i + 1);
                const std::string_view content = p_.substr(i + 1, close - i - 1);
                if (content.empty()) return At(close + 1, j);
                return more && InList(content, c) && At(close + 1, j + 1);
            }
            default: return more && c == static_cast<unsigned char>(p_[i]) && At(i + 1, j + 1);
        }
    }

    std::string_view p_, t_;
    bool memoize_;
    std::vector<signed char> memo_;
};

// The whole pattern test: split at ";", upper-case both sides unless
// `caseSensitive`, an invalid piece matches.
inline bool Like(std::string_view text, std::string_view list, bool caseSensitive, bool memoize = true) {
    if (list.empty()) return false;
    const std::string t = caseSensitive ? std::string(text) : tav::ToUpperCp1252(text);
    const std::string l = caseSensitive ? std::string(list) : tav::ToUpperCp1252(list);
    bool any = false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t semi = l.find(';', start);
        const std::string_view piece =
            std::string_view(l).substr(start, semi == std::string::npos ? std::string::npos : semi - start);
        if (!PieceIsValid(piece) || Matcher(piece, t, memoize).Run()) any = true;
        if (semi == std::string::npos) return any;
        start = semi + 1;
    }
}

}  // namespace reference
