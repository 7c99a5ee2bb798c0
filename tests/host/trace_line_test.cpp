#include "common/trace_line.h"

#include <gtest/gtest.h>

#include <string>

using namespace tav::trace;

namespace {

const Moment kMoment{2026, 3, 4, 5, 6, 7, 8};

}  // namespace

TEST(TraceLine, TimeToTheMillisecondProcessProgramAndTextEndingInCrLf) {
    EXPECT_EQ(FormatLine(kMoment, 1234, "Tavrino2", "the program ends"),
              "2026-03-04 05:06:07.008 [pid 1234] Tavrino2: the program ends\r\n");
    EXPECT_EQ(FormatLine({2026, 12, 31, 23, 59, 59, 999}, 4294967295u, "Tav_uninstall", ""),
              "2026-12-31 23:59:59.999 [pid 4294967295] Tav_uninstall: \r\n");
}

TEST(TraceLine, ControlCharactersAreWrittenOutSoAnEventStaysOneLine) {
    struct Case {
        std::string text, expected;
    };
    const Case cases[] = {
        {"Der Ordner\r\nC:\\x\r\nkonnte", "Der Ordner<CR><LF>C:\\x<CR><LF>konnte"},
        {"a\tb", "a<TAB>b"},
        {std::string("a\0b", 3), "a<NUL>b"},
        {"\x01\x1f\x7f", "<0x01><0x1F><0x7F>"},
        {"C:\\new\\x41 \"quoted\" <>", "C:\\new\\x41 \"quoted\" <>"},  // backslashes stay as they are
        {"Gr\xc3\xb6\xc3\x9f" "e \xe2\x88\x95", "Gr\xc3\xb6\xc3\x9f" "e \xe2\x88\x95"},  // UTF-8 untouched
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapeControls(c.text), c.expected) << c.text;
        EXPECT_EQ(FormatLine(kMoment, 1, "P", c.text), "2026-03-04 05:06:07.008 [pid 1] P: " + c.expected + "\r\n");
    }
    // The program's name is escaped as well.
    EXPECT_EQ(FormatLine(kMoment, 1, "a\nb", "x"), "2026-03-04 05:06:07.008 [pid 1] a<LF>b: x\r\n");
}

TEST(TraceLine, WideTextBecomesUtf8) {
    EXPECT_EQ(Utf8FromWide(L"C:\\Daten"), "C:\\Daten");
    EXPECT_EQ(Utf8FromWide(std::wstring{0x00C4, 0x0141, 0x2215, 0xFF21}),
              "\xc3\x84\xc5\x81\xe2\x88\x95\xef\xbc\xa1");
    // A surrogate pair is one character (U+1F600); an unpaired half is U+FFFD.
    EXPECT_EQ(Utf8FromWide(std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)}),
              "\xf0\x9f\x98\x80");
    EXPECT_EQ(Utf8FromWide(std::wstring{L'a', static_cast<wchar_t>(0xD83D), L'b'}), "a\xef\xbf\xbd" "b");
    EXPECT_EQ(Utf8FromWide(std::wstring{static_cast<wchar_t>(0xDE00)}), "\xef\xbf\xbd");
}

TEST(TraceLine, ALongTextIsCutAtACharacterAndSaysHowMuchIsMissing) {
    const std::string head = "2026-03-04 05:06:07.008 [pid 1] P: ";
    const std::string fits(kMaxTextBytes, 'a');
    EXPECT_EQ(FormatLine(kMoment, 1, "P", fits), head + fits + "\r\n");

    EXPECT_EQ(FormatLine(kMoment, 1, "P", fits + "bc"), head + fits + "... (2 more bytes)\r\n");

    // A two-byte character that would straddle the limit goes whole to the rest.
    const std::string straddling = std::string(kMaxTextBytes - 1, 'a') + "\xc3\xb6";
    EXPECT_EQ(FormatLine(kMoment, 1, "P", straddling),
              head + std::string(kMaxTextBytes - 1, 'a') + "... (2 more bytes)\r\n");
    // So does an escape.
    const std::string escaped = std::string(kMaxTextBytes - 2, 'a') + "\r";
    EXPECT_EQ(FormatLine(kMoment, 1, "P", escaped),
              head + std::string(kMaxTextBytes - 2, 'a') + "... (1 more bytes)\r\n");
}

TEST(TraceLimit, LinesAreAppendedUntilOneEntersTheLastZoneThenTheLastLineFollowsAndNothingMore) {
    const std::uint64_t limit = 4u * 1024u * 1024u;
    const std::uint64_t zone = LastZoneStart(limit);
    ASSERT_LT(zone, limit);
    struct Case {
        std::uint64_t size;
        std::size_t line;
        Append expected;
    };
    const Case cases[] = {
        {0, 60, Append::Line},
        {zone - 61, 60, Append::Line},
        {zone - 60, 60, Append::LineAndLastLine},  // this line reaches the zone
        {zone - 1, 1, Append::LineAndLastLine},
        {zone, 1, Append::Nothing},                // the last line is there
        {zone + 100, 60, Append::Nothing},
        {limit, 60, Append::Nothing},
        {limit * 2, 60, Append::Nothing},          // a file that was big before
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecideAppend(c.size, c.line, limit), c.expected) << c.size << " + " << c.line;
}

TEST(TraceLimit, TheFileNeverGrowsBeyondTheLimit) {
    // The longest line there can be, then the last line, from just below the zone.
    const std::size_t longest = FormatLine(kMoment, 4294967295u, std::string(200, 'p'),
                                           std::string(3 * kMaxTextBytes, '\x01'))
                                    .size();
    const std::size_t last =
        FormatLine(kMoment, 4294967295u, std::string(200, 'p'), LimitReachedText()).size();
    for (std::uint64_t limit : {std::uint64_t{kSizeLimit}, std::uint64_t{64 * 1024}}) {
        const std::uint64_t size = LastZoneStart(limit) - 1;
        ASSERT_EQ(DecideAppend(size, longest, limit), Append::LineAndLastLine);
        EXPECT_LE(size + longest + last, limit);
    }
    EXPECT_EQ(DecideAppend(0, 10, 100), Append::Nothing);  // a limit too small for any line
}

TEST(TraceLimit, TheLastLineSaysWhy) {
    EXPECT_EQ(LimitReachedText(), "the trace stops here: the file has reached its limit of 4194304 bytes");
}
