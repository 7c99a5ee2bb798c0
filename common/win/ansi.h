// Text crosses from the ANSI code page to UTF-16 only at the API boundary.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tav {

// The ANSI text as UTF-16 (for COM, BSTRs and the few wide-only interfaces).
std::wstring WidenAnsi(const std::string& text);

// The wide text in the ANSI code page with no look-alike for a character the
// code page cannot spell (the platform's own conversion of a command line
// turns "Ł" into "L"): `text` holds `substitute` in its place, and `exact`
// tells whether every character had a spelling of its own (the text then
// converts back to the same wide text).
struct AnsiSpelling {
    std::string text;
    bool exact = false;
};
AnsiSpelling SpellInAnsi(std::wstring_view wide, char substitute);

// The ANSI text when every character has an exact spelling, else nothing.
std::optional<std::string> ExactAnsi(std::wstring_view wide);

}  // namespace tav
