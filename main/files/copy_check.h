// The copy's arrival check without the platform: whether the file found at a
// source file's place in the destination is that file's copy.
#pragma once

#include <cstdint>

namespace tav {

// What the check compares of a file: its size and its last write time (in
// the platform's 100-nanosecond units), and whether it is a folder.
struct CopiedFileFacts {
    std::uint64_t size = 0;
    std::uint64_t lastWriteTime = 0;
    bool folder = false;
};

// The widest difference of last write times that still counts as the same:
// a copy keeps the source's time, but a FAT volume stores it in steps of two
// seconds.
constexpr std::uint64_t kLastWriteTimeTolerance = 2 * 10'000'000ull;

// True when `copied` is a file of the same size as `source` whose last write
// time is the source's (within kLastWriteTimeTolerance). A file left from
// before, of the same size but written at another time, did not arrive.
bool ArrivedAsCopied(const CopiedFileFacts& source, const CopiedFileFacts& copied);

}  // namespace tav
