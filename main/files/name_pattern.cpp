#include "main/files/name_pattern.h"

#include <algorithm>
#include <vector>

namespace tav {
namespace {

// A pattern as the platform's search reads it: each wildcard already turned
// into the kind of match its neighbours make of it.
enum class Token {
    Literal,     // one given character
    AnyRun,      // "*"
    RunToDot,    // "*" before ".": a run that stops short of the name's last dot
    OneOrNone,   // "?": one character, or none before a dot or at the end
    DotOrEnd,    // "." before a wildcard: the dot, or the end of a name
};

struct Step {
    Token token;
    wchar_t character;
};

std::vector<Step> Compile(std::wstring_view pattern) {
    std::vector<Step> steps;
    if (pattern == L"*.*") return {{Token::AnyRun, L'*'}};
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i];
        const wchar_t next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
        if (c == L'?') steps.push_back({Token::OneOrNone, c});
        else if (c == L'*') steps.push_back({next == L'.' ? Token::RunToDot : Token::AnyRun, c});
        else if (c == L'.' && (next == L'?' || next == L'*')) steps.push_back({Token::DotOrEnd, c});
        else steps.push_back({Token::Literal, c});
    }
    while (!steps.empty() && steps.back().token == Token::Literal && steps.back().character == L'.')
        steps.pop_back();
    return steps;
}

}  // namespace

bool HasWildcards(std::wstring_view pattern) {
    return pattern.find_first_of(L"*?") != std::wstring_view::npos;
}

bool NamesEveryFile(std::wstring_view pattern) {
    return HasWildcards(pattern) && pattern.find_first_not_of(L"*?.") == std::wstring_view::npos;
}

bool LongNameFits(std::wstring_view pattern, std::wstring_view name) {
    const std::vector<Step> steps = Compile(pattern);
    if (steps.empty() || name.empty()) return false;
    const std::size_t lastDot = name.find_last_of(L'.');
    const std::size_t end = steps.size();

    // The positions in the pattern that the name read so far can have
    // reached; one more round at the end of the name, where some steps fit
    // no character.
    std::vector<char> now(end + 1, 0), next(end + 1, 0);
    now[0] = 1;
    for (std::size_t at = 0; at <= name.size(); ++at) {
        const bool atEnd = at == name.size();
        const wchar_t c = atEnd ? L'\0' : name[at];
        // Steps that fit no character here, in order, so one passed over
        // opens the next.
        for (std::size_t s = 0; s < end; ++s) {
            if (!now[s]) continue;
            const Token t = steps[s].token;
            if (t == Token::AnyRun || t == Token::RunToDot ||
                (t == Token::OneOrNone && (atEnd || c == L'.')) || (t == Token::DotOrEnd && atEnd))
                now[s + 1] = 1;
        }
        if (atEnd) return now[end] != 0;
        std::fill(next.begin(), next.end(), 0);
        for (std::size_t s = 0; s < end; ++s) {
            if (!now[s]) continue;
            const Step& step = steps[s];
            switch (step.token) {
                case Token::Literal:
                    if (step.character == c) next[s + 1] = 1;
                    break;
                case Token::AnyRun:
                    next[s] = 1;
                    break;
                case Token::RunToDot:
                    if (at != lastDot) next[s] = 1;
                    break;
                case Token::OneOrNone:
                    if (c != L'.') next[s + 1] = 1;
                    break;
                case Token::DotOrEnd:
                    if (c == L'.') next[s + 1] = 1;
                    break;
            }
        }
        now.swap(next);
    }
    return false;
}

}  // namespace tav
