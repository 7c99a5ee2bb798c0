#include "main/dialogs/file_browser_logic.h"

#include <algorithm>

#include "common/text.h"

namespace tav {

bool HasPreviewType(std::string_view path) {
    const std::string lower = ToLowerCp1252(path.size() > 3 ? path.substr(path.size() - 3) : path);
    for (const char* type : {"gif", "ico", "bmp", "jpg", "wmf", "emf"})
        if (lower == type) return true;
    return false;
}

std::string PictureSizeText(int width, int height) {
    // The German texts are written as CP1252 bytes so that every build has them alike.
    return "Dateigr\xf6\xdf" "e: " + std::to_string(width) + " x " + std::to_string(height);
}

std::string SizeMismatchText(const std::string& requiredWidth, const std::string& requiredHeight) {
    return "Das ausgew\xe4" "hlte Bild weist nicht die Masse auf: " + requiredWidth + " x " +
           requiredHeight + " .";
}

std::optional<double> RequiredSizeNumber(std::string_view text) {
    const std::string s = Trim(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    double value = 0;
    std::size_t digits = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) {
        if (value < 1e12) value = value * 10 + (s[i] - '0');
    }
    if (i < s.size() && s[i] == '.') {
        double scale = 0.1;
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits, scale /= 10)
            value += (s[i] - '0') * scale;
    }
    if (digits == 0 || i != s.size()) return std::nullopt;
    return negative ? -value : value;
}

bool PictureHasRequiredSize(const std::string& requiredWidth, const std::string& requiredHeight,
                            int width, int height) {
    const auto w = RequiredSizeNumber(requiredWidth);
    const auto h = RequiredSizeNumber(requiredHeight);
    return w && h && *w == width && *h == height;
}

std::vector<std::string> SplitFilePatterns(std::string_view patternList) {
    std::vector<std::string> patterns;
    bool any = false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = patternList.find(';', start);
        const std::string piece = Trim(patternList.substr(start, end == std::string_view::npos
                                                                     ? std::string_view::npos
                                                                     : end - start));
        if (!piece.empty()) {
            any = true;
            if (piece.find_first_of("\\/:") == std::string::npos) patterns.push_back(piece);
        }
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    if (!any) patterns.push_back("*.*");
    return patterns;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}

std::vector<std::string> FolderChain(std::string_view folder) {
    std::string path(folder);
    for (char& c : path)
        if (c == '/') c = '\\';
    std::size_t rootEnd = 0;  // length of the root including its backslash
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        rootEnd = 2;
    } else if (StartsWith(path, "\\\\")) {
        const std::size_t server = path.find('\\', 2);
        if (server == std::string::npos || server == 2) return {};
        const std::size_t share = path.find('\\', server + 1);
        if (share == server + 1) return {};
        rootEnd = share == std::string::npos ? path.size() : share;
    } else {
        return {};
    }
    std::vector<std::string> chain{path.substr(0, rootEnd) + "\\"};
    std::string current = chain.front();
    std::size_t pos = rootEnd;
    while (pos < path.size()) {
        while (pos < path.size() && path[pos] == '\\') ++pos;
        if (pos >= path.size()) break;
        std::size_t end = path.find('\\', pos);
        if (end == std::string::npos) end = path.size();
        current = JoinPath(current, path.substr(pos, end - pos));
        chain.push_back(current);
        pos = end;
    }
    return chain;
}

std::string FolderDisplayName(std::string_view chainEntry, bool isRoot) {
    if (isRoot) return ToLowerCp1252(chainEntry);
    const std::size_t slash = chainEntry.find_last_of('\\');
    return std::string(slash == std::string_view::npos ? chainEntry : chainEntry.substr(slash + 1));
}

int FolderLevelIndent(int deepestLevel, int standard, int maxDeepestIndent) {
    if (deepestLevel <= 0 || deepestLevel * standard <= maxDeepestIndent) return standard;
    return std::max(1, maxDeepestIndent / deepestLevel);
}

std::string DriveEntryText(char letter, const std::string& label) {
    std::string text(1, ToLowerCp1252(letter));
    text += ':';
    if (!label.empty()) text += " [" + label + "]";
    return text;
}

std::optional<char> DriveLetterOf(std::string_view entry) {
    if (entry.size() < 2 || entry[1] != ':') return std::nullopt;
    const char c = ToUpperCp1252(entry[0]);
    if (c < 'A' || c > 'Z') return std::nullopt;
    return c;
}

}  // namespace tav
