// Small string helpers shared by both programs. No platform headers.
#pragma once

#include <string>
#include <string_view>

namespace tav {

// Removes leading and trailing blanks (blanks only: tabs and other white space stay).
std::string Trim(std::string_view s);

inline bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

inline bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// The text of a platform buffer up to, not including, its first NUL character.
std::string CutAtNul(const char* buffer, std::size_t size);

// Upper and lower case in the ANSI code page 1252 (the letters A-Z and
// the accented letters 0xE0-0xFE except 0xF7 map to 0xC0-0xDE except 0xD7;
// the byte 0xFF maps to 0x9F, 0x9A/0x9C/0x9E to 0x8A/0x8C/0x8E).
char ToUpperCp1252(char c);
char ToLowerCp1252(char c);
std::string ToUpperCp1252(std::string_view s);
std::string ToLowerCp1252(std::string_view s);

}  // namespace tav
