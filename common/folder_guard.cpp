#include "common/folder_guard.h"

#include "common/text.h"

namespace tav {
namespace {

bool IsDriveLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::vector<std::string> SplitComponents(std::string_view s) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : s) {
        if (c == '\\') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);
    return parts;
}

// Windows ignores trailing dots and blanks of a path component.
std::string StripTrailingDotsAndBlanks(std::string s) {
    while (!s.empty() && (s.back() == '.' || s.back() == ' ')) s.pop_back();
    return s;
}

}  // namespace

std::string NormalizeFolderPath(std::string_view input) {
    std::string p(input);
    for (char& c : p)
        if (c == '/') c = '\\';
    if (StartsWith(p, "\\\\?\\UNC\\")) p = "\\\\" + p.substr(8);
    else if (StartsWith(p, "\\\\?\\") || StartsWith(p, "\\\\.\\")) p = p.substr(4);

    std::string root;  // "c:" or "\\server\share" or "\" (root-relative) or "" (relative)
    std::string rest;
    if (p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == ':') {
        root = p.substr(0, 2);
        rest = p.substr(2);
        // "c:folder" is relative to the drive's current folder: keep it recognisable.
        if (!rest.empty() && rest[0] != '\\') return ToLowerCp1252(p);
    } else if (StartsWith(p, "\\\\")) {
        // \\server\share: the first two components belong to the root.
        std::vector<std::string> parts;
        for (const auto& part : SplitComponents(p.substr(2)))
            if (!part.empty()) parts.push_back(part);
        root = "\\\\";
        std::size_t i = 0;
        for (; i < parts.size() && i < 2; ++i) root += (i ? "\\" : "") + parts[i];
        for (; i < parts.size(); ++i) rest += "\\" + parts[i];
    } else if (StartsWith(p, "\\")) {
        root = "\\";
        rest = p;
    } else {
        rest = p;
    }

    std::vector<std::string> kept;
    for (auto part : SplitComponents(rest)) {
        if (part.empty() || part == ".") continue;
        if (part.find_first_not_of('.') == std::string::npos && part.size() == 2) {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        part = StripTrailingDotsAndBlanks(part);
        if (part.empty()) continue;
        kept.push_back(part);
    }
    std::string out = root;
    for (const auto& part : kept) {
        if (!out.empty() && out.back() != '\\') out += '\\';
        out += part;
    }
    return ToLowerCp1252(out);
}

bool IsProtectedFolder(std::string_view folder, const std::vector<std::string>& importantFolders) {
    const std::string f = NormalizeFolderPath(folder);
    const bool driveAbsolute = f.size() >= 3 && IsDriveLetter(f[0]) && f[1] == ':' && f[2] == '\\';
    const bool unc = StartsWith(f, "\\\\");
    if (!driveAbsolute && !unc) return true;  // drive root "c:", relative or root-relative
    if (unc) {
        // \\server\share\folder has at least three backslash-separated parts after "\\".
        std::size_t separators = 0;
        for (std::size_t i = 2; i < f.size(); ++i)
            if (f[i] == '\\') ++separators;
        if (separators < 2) return true;
    }
    for (const auto& important : importantFolders) {
        if (important.empty()) continue;
        const std::string g = NormalizeFolderPath(important);
        if (g == f) return true;
        if (g.size() > f.size() && StartsWith(g, f) && g[f.size()] == '\\') return true;
    }
    return false;
}

}  // namespace tav
