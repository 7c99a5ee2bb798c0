// The decisions of the folder removal that need no platform: whether an entry
// opened relative to its folder is still the entry the folder's listing named,
// how an entry is deleted where the platform lacks a disposition, and when
// the removal's progress window appears and is brought up to date.
#pragma once

#include <cstdint>
#include <string_view>

namespace tav {

// True when `childPath`, the path the platform reports for an entry just
// opened by its name relative to a folder (both paths spelt the same way, for
// example from the root of their volume), is the folder's path `folderPath`
// with `listedName` appended: the open reached the listed entry itself, not a
// place a link or an exchanged folder leads to. `listedName` must be one plain
// name ("." and ".." are never entries to remove). Paths compare exactly, as
// the platform spells them.
bool IsListedChild(std::wstring_view folderPath, std::wstring_view listedName,
                   std::wstring_view childPath);

// True when a failing extended disposition (FileDispositionInfoEx), with the
// platform's error `error`, means that the platform or the volume does not
// know the class or one of its flags (ERROR_INVALID_PARAMETER,
// ERROR_NOT_SUPPORTED), so that the older way is to be taken; any other
// error is the platform's refusal to delete.
bool ExtendedDispositionUnavailable(unsigned long error);

// Without the disposition that ignores it, a read-only entry is deleted with
// its read-only attribute cleared. True when the attribute is to be put back
// afterwards: when the entry was not deleted (`deleted`), and when the file
// has other hard links, which share the attribute and keep the file
// (`links`, its number of names before the deletion; 0 when not known).
bool ReadOnlyToBePutBack(bool deleted, unsigned long links);

// The pace of the progress window: it appears only once a removal has taken
// a while (a small one shows nothing that flashes up and vanishes), and is
// then brought up to date a few times a second. Times are milliseconds of any
// steady clock.
class RemovalPacing {
public:
    static constexpr std::uint64_t kShowAfterMs = 600;
    static constexpr std::uint64_t kUpdateEveryMs = 100;

    explicit RemovalPacing(std::uint64_t startMs) : startMs_(startMs) {}

    // Called now and then during the removal: true when the window is to be
    // shown or brought up to date at `nowMs` (the first true means "show").
    bool Due(std::uint64_t nowMs);
    bool Shown() const { return shown_; }

private:
    std::uint64_t startMs_;
    std::uint64_t lastMs_ = 0;
    bool shown_ = false;
};

}  // namespace tav
