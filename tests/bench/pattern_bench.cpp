// Host benchmark of the search's pattern matcher: names per second for
// typical pattern lists, against a naive recursive matcher and fnmatch(3).
// Prints figures; never fails.
#include <fnmatch.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "main/search/pattern_match.h"
#include "tests/fuzz/reference_matcher.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> MakeNames(std::size_t count) {
    static const char* const stems[] = {"setup", "Vortrag", "readme", "IMG_", "bericht", "daten",
                                        "Kapitel", "a", "notes", "Größe", "report-2024", "index"};
    static const char* const exts[] = {".exe", ".ppt", ".PPS", ".jpg", ".txt", ".doc", ".dll", "",
                                       ".tar.gz", ".htm"};
    std::mt19937 rng(42);
    std::vector<std::string> names;
    names.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::string n = stems[rng() % std::size(stems)];
        n += std::to_string(rng() % 10000);
        n += exts[rng() % std::size(exts)];
        names.push_back(n);
    }
    return names;
}

template <typename F>
double NamesPerSecond(const std::vector<std::string>& names, F&& matches, std::size_t* hits) {
    const auto start = Clock::now();
    std::size_t n = 0, h = 0;
    do {
        std::size_t pass = 0;
        for (const auto& name : names) pass += matches(name) ? 1 : 0;
        if (n == 0) h = pass;
        n += names.size();
    } while (Clock::now() - start < std::chrono::milliseconds(400));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    *hits = h;
    return n / seconds;
}

bool FnmatchList(const std::string& name, const std::vector<std::string>& pieces) {
    for (const auto& p : pieces)
        if (fnmatch(p.c_str(), name.c_str(), FNM_CASEFOLD) == 0) return true;
    return false;
}

}  // namespace

int main() {
    const auto names = MakeNames(100000);
    struct Case {
        const char* list;
        bool fnmatchToo;
    };
    const Case cases[] = {{"setup.exe", true},   {"*.ppt;*.pps", true}, {"*.jpg", true},
                          {"IMG_*#.jpg", false}, {"*a*e*t*", true},     {"[a-f]*.t?t", true}};
    std::printf("%-14s %14s %14s %14s %8s %8s\n", "pattern list", "ours/s", "naive/s", "fnmatch/s",
                "x naive", "x fnm");
    for (const auto& c : cases) {
        const tav::PatternList compiled(c.list, false);
        const auto pieces = tav::SplitPatternList(c.list);
        std::size_t h1 = 0, h2 = 0, h3 = 0;
        const double ours = NamesPerSecond(names, [&](const std::string& n) { return compiled.Matches(n); }, &h1);
        const double naive = NamesPerSecond(
            names, [&](const std::string& n) { return reference::Like(n, c.list, false, false); }, &h2);
        double fnm = 0;
        if (c.fnmatchToo)
            fnm = NamesPerSecond(names, [&](const std::string& n) { return FnmatchList(n, pieces); }, &h3);
        if (h1 != h2) std::printf("  (hit counts differ: %zu vs %zu)\n", h1, h2);
        if (c.fnmatchToo)
            std::printf("%-14s %14.0f %14.0f %14.0f %8.2f %8.2f\n", c.list, ours, naive, fnm, ours / naive,
                        ours / fnm);
        else
            std::printf("%-14s %14.0f %14.0f %14s %8.2f %8s\n", c.list, ours, naive, "-", ours / naive, "-");
    }

    // The pathological case: stars that a backtracking matcher retries in
    // every combination.
    const std::string many(26, 'a');
    const char* hard = "*a*a*a*a*a*a*b*";
    const tav::PatternList compiled(hard, true);
    const auto t0 = Clock::now();
    bool r1 = false;
    for (int i = 0; i < 1000; ++i) r1 |= compiled.Matches(many);
    const double ours = std::chrono::duration<double>(Clock::now() - t0).count() / 1000;
    const auto t1 = Clock::now();
    const bool r2 = reference::Like(many, hard, true, false);
    const double naive = std::chrono::duration<double>(Clock::now() - t1).count();
    const auto t2 = Clock::now();
    bool r3 = false;
    for (int i = 0; i < 1000; ++i) r3 |= fnmatch(hard, many.c_str(), 0) == 0;
    const double fnm = std::chrono::duration<double>(Clock::now() - t2).count() / 1000;
    std::printf("\n\"%s\" against 26 x \"a\" (no match: %d%d%d): ours %.2f us, naive %.0f us, fnmatch %.2f us\n",
                hard, !r1, !r2, !r3, ours * 1e6, naive * 1e6, fnm * 1e6);
    return 0;
}
