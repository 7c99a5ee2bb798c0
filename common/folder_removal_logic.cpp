#include "common/folder_removal_logic.h"

namespace tav {

bool IsListedChild(std::wstring_view folderFinalPath, std::wstring_view listedName,
                   std::wstring_view childFinalPath) {
    if (folderFinalPath.empty() || listedName.empty() || listedName == L"." || listedName == L"..")
        return false;
    if (listedName.find_first_of(L"\\/") != std::wstring_view::npos) return false;
    // A volume root ends in its backslash; any other folder gets one between.
    const bool separated = folderFinalPath.back() == L'\\';
    const std::size_t separator = separated ? 0 : 1;
    if (childFinalPath.size() != folderFinalPath.size() + separator + listedName.size()) return false;
    if (childFinalPath.substr(0, folderFinalPath.size()) != folderFinalPath) return false;
    if (!separated && childFinalPath[folderFinalPath.size()] != L'\\') return false;
    return childFinalPath.substr(folderFinalPath.size() + separator) == listedName;
}

bool RemovalPacing::Due(std::uint64_t nowMs) {
    if (nowMs < startMs_) return false;  // a clock that went back: wait
    if (!shown_) {
        if (nowMs - startMs_ < kShowAfterMs) return false;
        shown_ = true;
    } else if (nowMs - lastMs_ < kUpdateEveryMs) {
        return false;
    }
    lastMs_ = nowMs;
    return true;
}

}  // namespace tav
