#include "common/text.h"

namespace tav {

std::string Trim(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(' ');
    return std::string(s.substr(first, last - first + 1));
}

std::string CutAtNul(const char* buffer, std::size_t size) {
    std::size_t n = 0;
    while (n < size && buffer[n] != '\0') ++n;
    return std::string(buffer, n);
}

char ToUpperCp1252(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
    switch (u) {
        case 0x9A: return static_cast<char>(0x8A);  // š -> Š
        case 0x9C: return static_cast<char>(0x8C);  // œ -> Œ
        case 0x9E: return static_cast<char>(0x8E);  // ž -> Ž
        case 0xFF: return static_cast<char>(0x9F);  // ÿ -> Ÿ
        default: return c;
    }
}

char ToLowerCp1252(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
    switch (u) {
        case 0x8A: return static_cast<char>(0x9A);
        case 0x8C: return static_cast<char>(0x9C);
        case 0x8E: return static_cast<char>(0x9E);
        case 0x9F: return static_cast<char>(0xFF);
        default: return c;
    }
}

std::string ToUpperCp1252(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = ToUpperCp1252(c);
    return out;
}

std::string ToLowerCp1252(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = ToLowerCp1252(c);
    return out;
}

}  // namespace tav
