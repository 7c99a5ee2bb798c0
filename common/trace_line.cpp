#include "common/trace_line.h"

namespace tav::trace {
namespace {

// Room in a line besides its text: time, process id, program and the cut
// note, with plenty to spare.
constexpr std::size_t kLineOverhead = 256;
constexpr std::size_t kMaxProgramBytes = 64;
// Room for the last line.
constexpr std::size_t kLastLineRoom = 256;

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string EscapeOf(unsigned char c) {
    switch (c) {
        case '\r': return "<CR>";
        case '\n': return "<LF>";
        case '\t': return "<TAB>";
        case '\0': return "<NUL>";
        default: {
            const char* digits = "0123456789ABCDEF";
            return std::string("<0x") + digits[c >> 4] + digits[c & 0xF] + ">";
        }
    }
}

// `value` in decimal with at least `width` digits (no printf: it would bring
// the runtime's whole formatting code into both programs).
void AppendNumber(std::string& out, unsigned long value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width) out.append(width - digits.size(), '0');
    out += digits;
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// The length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

// `text` escaped, at most `maxBytes` long; `consumed` tells how much of
// `text` it holds. Never cuts a character or an escape in two.
std::string EscapeUpTo(std::string_view text, std::size_t maxBytes, std::size_t& consumed) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (IsControl(c)) {
            const std::string escape = EscapeOf(c);
            if (out.size() + escape.size() > maxBytes) break;
            out += escape;
            ++i;
            continue;
        }
        std::size_t n = SequenceLength(c);
        if (i + n > text.size()) n = text.size() - i;
        if (out.size() + n > maxBytes) break;
        out.append(text.substr(i, n));
        i += n;
    }
    consumed = i;
    return out;
}

}  // namespace

std::string Utf8FromWide(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        auto c = static_cast<std::uint32_t>(wide[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
            const auto low = static_cast<std::uint32_t>(wide[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
        AppendUtf8(out, c);
    }
    return out;
}

std::string EscapeControls(std::string_view utf8) {
    std::size_t consumed = 0;
    return EscapeUpTo(utf8, std::string::npos, consumed);
}

std::string FormatLine(const Moment& when, std::uint32_t processId, std::string_view program,
                       std::string_view text) {
    std::string line;
    const auto field = [&](int value, std::size_t width, char after) {
        AppendNumber(line, value < 0 ? 0ul : static_cast<unsigned long>(value), width);
        line += after;
    };
    field(when.year, 4, '-');
    field(when.month, 2, '-');
    field(when.day, 2, ' ');
    field(when.hour, 2, ':');
    field(when.minute, 2, ':');
    field(when.second, 2, '.');
    field(when.millisecond, 3, ' ');
    line += "[pid ";
    AppendNumber(line, processId, 1);
    line += "] ";
    std::size_t consumed = 0;
    line += EscapeUpTo(program, kMaxProgramBytes, consumed);
    line += ": ";
    line += EscapeUpTo(text, kMaxTextBytes, consumed);
    if (consumed < text.size())
        line += "... (" + std::to_string(text.size() - consumed) + " more bytes)";
    line += "\r\n";
    return line;
}

std::string LimitReachedText(std::uint64_t limit) {
    return "the trace stops here: the file has reached its limit of " + std::to_string(limit) +
           " bytes";
}

std::uint64_t LastZoneStart(std::uint64_t limit) {
    const std::uint64_t room = kMaxTextBytes + kLineOverhead + kLastLineRoom;
    return limit > room ? limit - room : 0;
}

Append DecideAppend(std::uint64_t currentSize, std::size_t lineSize, std::uint64_t limit) {
    const std::uint64_t zone = LastZoneStart(limit);
    if (currentSize >= zone) return Append::Nothing;
    if (currentSize + lineSize >= zone) return Append::LineAndLastLine;
    return Append::Line;
}

}  // namespace tav::trace
