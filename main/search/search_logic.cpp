#include "main/search/search_logic.h"

#include <algorithm>

namespace tav {

std::vector<std::string> SplitDriveStrings(const char* buffer, std::size_t count) {
    std::vector<std::string> pieces;
    if (!buffer || count == 0) return pieces;
    const std::string_view all(buffer, count);
    std::size_t start = 0;
    for (;;) {
        const std::size_t nul = all.find('\0', start);
        if (nul == std::string_view::npos) {
            pieces.emplace_back(all.substr(start));
            return pieces;
        }
        pieces.emplace_back(all.substr(start, nul - start));
        start = nul + 1;
    }
}

std::vector<std::string> QueryDriveStrings(const DriveStringsQuery& query) {
    std::string buffer(64, ' ');
    std::uint32_t n = query(static_cast<std::uint32_t>(buffer.size()), buffer.data());
    if (n > buffer.size()) {
        buffer.assign(n, ' ');
        n = query(static_cast<std::uint32_t>(buffer.size()), buffer.data());
        if (n > buffer.size()) n = 0;  // the drives changed in between
    }
    return SplitDriveStrings(buffer.data(), n);
}

bool IsDriveLetterDesignation(std::string_view designation) {
    if (designation.size() != 2 || designation[1] != ':') return false;
    const char c = designation[0];
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::optional<SearchLayout> LayoutSearchWindow(int widthTwips, int heightTwips) {
    const int listHeight = heightTwips - kSearchRowHeight;
    if (listHeight < 0) return std::nullopt;
    SearchLayout l;
    l.list = {0, 0, widthTwips, listHeight};
    l.button = {widthTwips - kSearchButtonWidth - 240, heightTwips - 420, kSearchButtonWidth,
                kSearchButtonHeight};
    constexpr int labelLeft = 120, gap = 120;
    l.label = {labelLeft, heightTwips - 420, std::max(0, l.button.left - gap - labelLeft), 420};
    return l;
}

std::string FoundCountText(std::size_t count) {
    return std::to_string(count) + " Dateien gefunden";
}

}  // namespace tav
