#include "common/win/ansi.h"

#include <windows.h>

namespace tav {

std::wstring WidenAnsi(const std::string& text) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

AnsiSpelling SpellInAnsi(std::wstring_view wide, char substitute) {
    if (wide.empty()) return {std::string(), true};
    const UINT codePage = ::GetACP();
    // UTF-8 and UTF-7 take neither flag nor default character; there a
    // round trip alone tells (only unpaired surrogates fail it).
    const bool utf = codePage == CP_UTF8 || codePage == CP_UTF7;
    const DWORD flags = utf ? 0 : WC_NO_BEST_FIT_CHARS;
    const char defaultChar[2] = {substitute, '\0'};
    BOOL usedDefault = FALSE;
    const int length = static_cast<int>(wide.size());
    const int n = ::WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0,
                                        utf ? nullptr : defaultChar, utf ? nullptr : &usedDefault);
    if (n <= 0) return {std::string(), false};
    std::string text(static_cast<std::size_t>(n), '\0');
    usedDefault = FALSE;
    ::WideCharToMultiByte(codePage, flags, wide.data(), length, text.data(), n,
                          utf ? nullptr : defaultChar, utf ? nullptr : &usedDefault);
    const bool exact = !usedDefault && WidenAnsi(text) == wide;
    return {std::move(text), exact};
}

std::optional<std::string> ExactAnsi(std::wstring_view wide) {
    AnsiSpelling spelling = SpellInAnsi(wide, '?');
    if (!spelling.exact) return std::nullopt;
    return std::move(spelling.text);
}

}  // namespace tav
