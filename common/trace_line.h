// The lines of the opt-in trace: how one event becomes one line of text, and
// when the trace file has grown enough. No platform headers: the writer in
// common/win feeds these with the platform's clock, process id and file size.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tav::trace {

// A moment of the local clock, to the millisecond.
struct Moment {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// `wide` (UTF-16) as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view wide);

// `utf8` with every control character written out, so that one event stays
// one line: CR, LF, TAB and NUL as <CR>, <LF>, <TAB>, <NUL>, every other one
// (U+0001-U+001F, U+007F) as <0xNN>. "<" and ">" cannot be part of a file
// name, so a path in the trace is never ambiguous.
std::string EscapeControls(std::string_view utf8);

// The longest event text a line carries, in bytes; a longer one is cut (at a
// character boundary) and ends in "... (N more bytes)".
constexpr std::size_t kMaxTextBytes = 2048;

// One line of the trace, ending in CR LF:
//   2026-12-07 23:16:14.123 [pid 1234] Tavrino2: <text>
// `text` (UTF-8) has its control characters escaped and is cut to
// kMaxTextBytes.
std::string FormatLine(const Moment& when, std::uint32_t processId, std::string_view program,
                       std::string_view text);

// The trace stops growing at this size, with a last line saying so.
constexpr std::uint64_t kSizeLimit = 4u * 1024u * 1024u;

// The text of the last line, for a file limited to `limit` bytes.
std::string LimitReachedText(std::uint64_t limit = kSizeLimit);

// What to append to a trace file of `currentSize` bytes for a line of
// `lineSize` bytes, with the file limited to `limit` bytes:
// - the line, while the file stays below the limit's last zone (the room a
//   longest line and the last line need);
// - the line followed by the last line, for the line that takes the file
//   into that zone (so the last line always fits and the file never exceeds
//   `limit`);
// - nothing, once the file is in that zone (the last line has been written).
enum class Append { Line, LineAndLastLine, Nothing };
Append DecideAppend(std::uint64_t currentSize, std::size_t lineSize, std::uint64_t limit = kSizeLimit);

// The size at which a trace file counts as full: `limit` less the room of a
// longest line and the last line.
std::uint64_t LastZoneStart(std::uint64_t limit = kSizeLimit);

}  // namespace tav::trace
