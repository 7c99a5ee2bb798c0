#include "main/files/name_pattern.h"

#include <gtest/gtest.h>

using namespace tav;

TEST(LongNameFits, TheLongNameAloneDecides) {
    const struct {
        const wchar_t* pattern;
        const wchar_t* name;
        bool fits;
    } cases[] = {
        // The platform finds these through their short names (KEEP~HY1.TMP).
        {L"*.tmp", L"keep.tmpx", false},
        {L"*.tmp", L"notes.tmp_backup", false},
        {L"*.tmp", L"a.tmp", true},
        {L"*.tmp", L"a.b.tmp", true},
        {L"*.tmp", L".tmp", true},
        {L"*.*", L"README", true},
        {L"*", L"a.b", true},
        {L"*.", L"README", true},
        {L"*.", L"a.b", false},
        {L"a?c", L"abc", true},
        {L"a?c", L"ac", false},
        {L"*ab*c", L"xaabxc", true},
        {L"*ab*c", L"xaabxcd", false},
        {L"Daten.txt", L"Daten.txt", true},
    };
    for (const auto& c : cases) EXPECT_EQ(LongNameFits(c.pattern, c.name), c.fits) << c.pattern << " " << c.name;
}
