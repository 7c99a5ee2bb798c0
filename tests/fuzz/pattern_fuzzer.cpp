// libFuzzer target: random pattern lists and names through the search's
// matcher, compared with the reference matcher (wrong answers abort, like
// crashes, undefined behaviour and memory errors).
//
// Input: one flag byte (bit 0: compare case-sensitively), the pattern list,
// a NUL byte, the name.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "main/search/pattern_match.h"
#include "tests/fuzz/reference_matcher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool caseSensitive = data[0] & 1;
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t nul = rest.find('\0');
    const std::string list = rest.substr(0, nul);
    const std::string name = nul == std::string::npos ? std::string() : rest.substr(nul + 1);

    const bool got = tav::PatternMatches(name, list, caseSensitive);
    const bool want = reference::Like(name, list, caseSensitive);
    if (got != want) {
        std::fprintf(stderr, "pattern list \"%s\", name \"%s\", case-sensitive %d: got %d, want %d\n",
                     list.c_str(), name.c_str(), caseSensitive, got, want);
        std::abort();
    }
    // The compiled list gives the same answer for every name it is asked about.
    const tav::PatternList compiled(list, caseSensitive);
    if (compiled.Matches(name) != got) std::abort();
    return 0;
}
