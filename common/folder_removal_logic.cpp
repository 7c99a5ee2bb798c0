#include "common/folder_removal_logic.h"

namespace tav {

bool IsListedChild(std::wstring_view folderPath, std::wstring_view listedName,
                   std::wstring_view childPath) {
    if (folderPath.empty() || listedName.empty() || listedName == L"." || listedName == L"..")
        return false;
    if (listedName.find_first_of(L"\\/") != std::wstring_view::npos) return false;
    // A volume root ends in its backslash; any other folder gets one between.
    const bool separated = folderPath.back() == L'\\';
    const std::size_t separator = separated ? 0 : 1;
    if (childPath.size() != folderPath.size() + separator + listedName.size()) return false;
    if (childPath.substr(0, folderPath.size()) != folderPath) return false;
    if (!separated && childPath[folderPath.size()] != L'\\') return false;
    return childPath.substr(folderPath.size() + separator) == listedName;
}

bool ExtendedDispositionUnavailable(unsigned long error) {
    constexpr unsigned long kInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
    constexpr unsigned long kNotSupported = 50;      // ERROR_NOT_SUPPORTED
    return error == kInvalidParameter || error == kNotSupported;
}

bool ReadOnlyToBePutBack(bool deleted, unsigned long links) { return !deleted || links != 1; }

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
