// libFuzzer target: random kill patterns and names through the long-name
// matcher, compared with a plain recursive reading of the same wildcard
// rules (wrong answers abort, like crashes, undefined behaviour and memory
// errors). Exponential in the worst case, so inputs stay short.
//
// Input: the pattern, a NUL byte, the name (bytes taken as characters).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "main/files/name_pattern.h"

namespace {

// Each pattern character with what its neighbours make of it.
enum Kind { kLiteral, kAnyRun, kRunToDot, kOneOrNone, kDotOrEnd };

// The rules read literally, by backtracking: a run before a dot may not pass
// the name's last dot; "?" takes one character other than a dot, or none
// before a dot or at the end; a dot before a wildcard takes a dot, or none at
// the end.
bool Fits(const std::wstring& p, const std::basic_string<int>& kinds, std::size_t i, const std::wstring& n,
          std::size_t j, std::size_t lastDot) {
    if (i == p.size()) return j == n.size();
    switch (kinds[i]) {
        case kAnyRun:
        case kRunToDot:
            for (std::size_t k = j;; ++k) {
                if (Fits(p, kinds, i + 1, n, k, lastDot)) return true;
                if (k == n.size() || (kinds[i] == kRunToDot && k == lastDot)) return false;
            }
        case kOneOrNone:
            if (j == n.size() || n[j] == L'.') return Fits(p, kinds, i + 1, n, j, lastDot);
            return Fits(p, kinds, i + 1, n, j + 1, lastDot);
        case kDotOrEnd:
            if (j == n.size()) return Fits(p, kinds, i + 1, n, j, lastDot);
            return n[j] == L'.' && Fits(p, kinds, i + 1, n, j + 1, lastDot);
        default:
            return j < n.size() && n[j] == p[i] && Fits(p, kinds, i + 1, n, j + 1, lastDot);
    }
}

bool Reference(std::wstring pattern, const std::wstring& name) {
    if (pattern == L"*.*") pattern = L"*";
    std::basic_string<int> kinds;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i], next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
        kinds += c == L'?'                                    ? kOneOrNone
                 : c == L'*'                                  ? (next == L'.' ? kRunToDot : kAnyRun)
                 : c == L'.' && (next == L'?' || next == L'*') ? kDotOrEnd
                                                              : kLiteral;
    }
    while (!pattern.empty() && pattern.back() == L'.' && kinds.back() == kLiteral) {
        pattern.pop_back();
        kinds.pop_back();
    }
    if (pattern.empty() || name.empty()) return false;
    return Fits(pattern, kinds, 0, name, 0, name.find_last_of(L'.'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 24) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t nul = text.find('\0');
    if (nul == std::string::npos) return 0;
    const std::wstring pattern(text.begin(), text.begin() + nul);
    const std::wstring name(text.begin() + nul + 1, text.end());
    const bool got = tav::LongNameFits(pattern, name);
    const bool want = Reference(pattern, name);
    if (got != want) {
        std::fprintf(stderr, "pattern \"%ls\", name \"%ls\": got %d, want %d\n", pattern.c_str(), name.c_str(), got,
                     want);
        std::abort();
    }
    return 0;
}
