#include "main/files/name_pattern.h"

#include <gtest/gtest.h>

using namespace tav;

namespace {

struct Case {
    const wchar_t* pattern;
    const wchar_t* name;
    bool fits;
};

void ExpectAll(const Case* begin, const Case* end) {
    for (const Case* c = begin; c != end; ++c)
        EXPECT_EQ(LongNameFits(c->pattern, c->name), c->fits) << c->pattern << " against " << c->name;
}

}  // namespace

TEST(LongNameFits, TheLongNameAloneDecides) {
    const Case cases[] = {
        // The platform finds these through their short names (KEEP~HY1.TMP).
        {L"*.TMP", L"KEEP.TMPX", false},
        {L"*.TMP", L"NOTES.TMP_BACKUP", false},
        {L"*.TMP", L"A.TMP", true},
        {L"*.TMP", L"A.B.TMP", true},
        {L"*.TMP", L".TMP", true},
        {L"DATEN.TXT", L"DATEN.TXT", true},
        {L"DATEN.TXT", L"DATEN.TX", false},
    };
    ExpectAll(std::begin(cases), std::end(cases));
}

TEST(LongNameFits, WindowsWildcardRules) {
    const Case cases[] = {
        // "?" before a dot or at the end also fits no character.
        {L"FILE?.TXT", L"FILE.TXT", true},
        {L"FILE?.TXT", L"FILE1.TXT", true},
        {L"FILE?.TXT", L"FILE12.TXT", false},
        {L"FILE?", L"FILE", true},
        {L"FILE?", L"FILE1", true},
        {L"FILE?", L"FILE12", false},
        {L"FILE?", L"FILE.TXT", false},
        {L"A?C", L"ABC", true},
        {L"A?C", L"AC", false},  // in the middle of a name it takes one character
        {L"??.TXT", L"A.TXT", true},
        {L"??.TXT", L"ABC.TXT", false},
        // "." before a wildcard also fits the end of a name without a dot.
        {L"*.???", L"A.TXT", true},
        {L"*.???", L"B.TX", true},
        {L"*.???", L"C", true},
        {L"*.???", L"D.TEXT", false},
        {L"*.???", L"E.F.TXT", true},
        {L"X.*", L"X", true},
        {L"X.*", L"X.Y", true},
        {L"X.*", L"XY", false},
        // "*.*" and "*" fit every name.
        {L"*.*", L"README", true},
        {L"*.*", L"A.B.C", true},
        {L"*.*", L".PROFILE", true},
        {L"*", L"A.B", true},
        // A trailing dot: names without an extension.
        {L"*.", L"README", true},
        {L"*.", L"A.B", false},
        {L"*.", L".PROFILE", false},
        {L"*..", L"README", true},
        {L"X?.", L"X1", true},
        {L"X?.", L"X1.TXT", false},
        // "*" before a dot stops short of the last dot; elsewhere it takes anything.
        {L"*.TXT", L"A.TXT.TXT", true},
        {L"A*.TXT", L"A.B.TXT", true},
        {L"*AB*C", L"XAABXC", true},
        {L"*AB*C", L"XAABXCD", false},
        {L"*1*", L"A1.B", true},
        {L"*1*", L"A.B", false},
        // The platform's own DOS wildcard characters are ordinary characters here.
        {L"<", L"A", false},
        {L"A>", L"A", false},
        {L"", L"A", false},
    };
    ExpectAll(std::begin(cases), std::end(cases));
}

TEST(KillPatterns, WildcardsAndPatternsThatNameEveryFile) {
    const struct {
        const wchar_t* pattern;
        bool wildcards, everyFile;
    } cases[] = {
        {L"*", true, true},      {L"*.*", true, true},      {L"*.", true, true},
        {L"*.???", true, true},  {L"?*", true, true},       {L"????????.???", true, true},
        {L"**", true, true},     {L"*.tmp", true, false},   {L"demo*.tmp", true, false},
        {L"file?.txt", true, false}, {L"Demo.lnk", false, false}, {L"...", false, false},
        {L"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasWildcards(c.pattern), c.wildcards) << c.pattern;
        EXPECT_EQ(NamesEveryFile(c.pattern), c.everyFile) << c.pattern;
    }
}
