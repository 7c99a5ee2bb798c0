// Portable pieces of the drive scan and the search window. No platform headers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/layout.h"

namespace tav {

// The answer of the platform's logical-drive-strings call: the first `count`
// characters of the buffer split at every NUL ("A:\", "C:\", ""; the piece
// after the last separator is empty). No characters: no pieces.
std::vector<std::string> SplitDriveStrings(const char* buffer, std::size_t count);

// The logical drive strings through `query` (the platform's call: buffer size
// in characters, buffer; answers the characters written without the final
// NUL, or the size it needs when the buffer is too small). First asked with
// 64 blanks; with more drives than that holds, once more with the size asked
// for. Split as SplitDriveStrings does; no pieces when the answer never fits.
using DriveStringsQuery = std::function<std::uint32_t(std::uint32_t size, char* buffer)>;
std::vector<std::string> QueryDriveStrings(const DriveStringsQuery& query);

// True for a drive designation whose root the drive-type test may be asked
// about: a letter and a colon ("C:", "d:"). Anything else ("C:\" tested as
// "C:\\", "D", "ALL", a folder) is no drive root, whatever a platform
// answers for such a path.
bool IsDriveLetterDesignation(std::string_view designation);

// The search window's controls for an inner area of `width` × `height` twips;
// nothing when the list's height would be negative (a minimised window).
// The list fills the area above the bottom row; the button keeps its size at
// the row's right end; the label takes the row's space left of the button
// (with a gap) down to the window's bottom edge, so its text has room for two
// lines at any display resolution and never lies over the button.
struct SearchLayout {
    TwipsRect list;    // FoundList
    TwipsRect button;  // SearchButton
    TwipsRect label;   // HintLabel
};
constexpr int kSearchButtonWidth = 1215, kSearchButtonHeight = 375;
constexpr int kSearchRowHeight = 480;  // the bottom row below the list
std::optional<SearchLayout> LayoutSearchWindow(int widthTwips, int heightTwips);

// The smallest inner area the window can be given: the bottom row with the
// whole button and its margins, and no list.
constexpr int kSearchMinWidth = 120 + kSearchButtonWidth + 240, kSearchMinHeight = kSearchRowHeight;

// "N Dateien gefunden".
std::string FoundCountText(std::size_t count);

// When a long walk lets pending window messages be processed: at the first
// entry of a walk, then whenever `interval` milliseconds have passed since the
// last time. Ticks are the platform's wrapping 32-bit millisecond counter.
class MessageSlice {
public:
    explicit MessageSlice(std::uint32_t intervalMs = 10) : interval_(intervalMs) {}
    void Restart() { started_ = false; }
    // True when messages are due now; the caller then processes them.
    bool Due(std::uint32_t nowTicks) {
        if (started_ && static_cast<std::uint32_t>(nowTicks - last_) < interval_) return false;
        started_ = true;
        last_ = nowTicks;
        return true;
    }

private:
    std::uint32_t interval_;
    std::uint32_t last_ = 0;
    bool started_ = false;
};

// When the search window brings its list up to date while a walk adds finds.
// Each update is timed; the next is due once nineteen times its cost has
// passed (at least 10 ms, at most 500 ms), so that updates take about a
// twentieth of the time however much they cost on a platform. Ticks are the
// platform's wrapping 32-bit millisecond counter.
class ListRefreshPacer {
public:
    bool Due(std::uint32_t nowTicks) const {
        return !shown_ || static_cast<std::uint32_t>(nowTicks - end_) >= gap_;
    }
    // An update ran from `startTicks` to `endTicks`.
    void Shown(std::uint32_t startTicks, std::uint32_t endTicks) {
        const std::uint32_t cost = endTicks - startTicks;
        gap_ = cost >= kMaxGapMs ? kMaxGapMs : std::clamp<std::uint32_t>(19 * cost, kMinGapMs, kMaxGapMs);
        end_ = endTicks;
        shown_ = true;
    }

    static constexpr std::uint32_t kMinGapMs = 10, kMaxGapMs = 500;

private:
    bool shown_ = false;
    std::uint32_t end_ = 0;
    std::uint32_t gap_ = kMinGapMs;
};

}  // namespace tav
