#include "main/files/name_pattern.h"

namespace tav {
namespace {

// "*" and "?" only; a star resumes from the last one seen.
bool Wildcard(std::wstring_view pattern, std::wstring_view name) {
    std::size_t p = 0, n = 0, star = std::wstring_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = n;
        } else if (star != std::wstring_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

}  // namespace

bool LongNameFits(std::wstring_view pattern, std::wstring_view name) {
    if (pattern == L"*.*") return true;
    if (!pattern.empty() && pattern.back() == L'.') {
        if (name.find(L'.') != std::wstring_view::npos) return false;
        while (!pattern.empty() && pattern.back() == L'.') pattern.remove_suffix(1);
    }
    return Wildcard(pattern, name);
}

}  // namespace tav
