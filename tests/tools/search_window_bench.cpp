// search_window_bench <drive> <pattern that matches nothing> [runs [empty drive]]:
// times the search window of Tavrino2 in list mode, driven like a person
// drives it, against the silent search of the same drive (used by
// tools/bench-search.sh; prints figures, never fails).
//
// Each run starts "s,<drive>,<pattern>,list" and presses "Suchen":
//   nofind  the pattern that matches nothing: from the press until the answer
//           "0" is in the result file (the walk alone, no finds, no start-up);
//   fill    "*": from the press until the count shows (every file a find);
//   stop    "*" again: "Stop!" is pressed once the list holds entries; from
//           that press until the button reads "Suchen" and until the count shows;
// and, with an empty drive named, starts the silent search "s,<drive>,<pattern>":
//   silent  from the start until the answer "0" is in the result file;
//   start   the same on the empty drive (what start-up costs: silent - start
//           is the silent walk, measured the way fill is).
// One line per run: "nofind <s> fill <s> <finds> stop <s> <s> silent <s> start <s>".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/uia/uia.h"

namespace {

enum SearchControl { kList1 = 1001, kCmdSuchen = 1002, kLabel1 = 1004 };

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The window's text as the platform keeps it: read without a message to the
// busy program, so polling does not slow the walk down.
std::string Text(HWND hwnd) {
    char text[256] = {};
    ::GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Polls until `done` holds (at most 10 minutes); the seconds since `t0`. Every
// poll is a request to the window server, which the searching program needs
// too: long waits poll every 10 ms, short ones every millisecond.
template <typename Done>
double SecondsUntil(double t0, Done done, DWORD pollMs = 10) {
    while (!done() && Now() - t0 < 600) ::Sleep(pollMs);
    return Now() - t0;
}

struct Window {
    uia::Process process;
    HWND window = nullptr, list = nullptr, button = nullptr, label = nullptr;
};

Window Open(const std::string& drive, const std::string& pattern) {
    Window w;
    w.process = uia::Start(uia::MainProgram(), "s," + drive + "," + pattern + ",list");
    w.window = uia::WaitForWindow({w.process.Pid(), "Suchen nach: \"" + pattern + "\"", "#32770"});
    if (!w.window) return w;
    w.list = uia::FindControl(w.window, kList1);
    w.button = uia::FindControl(w.window, kCmdSuchen);
    w.label = uia::FindControl(w.window, kLabel1);
    ::Sleep(300);  // let the window settle before the clock starts
    return w;
}

bool CountShown(const Window& w) { return EndsWith(Text(w.label), " Dateien gefunden"); }

void Close(Window& w) {
    uia::CloseBox(w.window);
    w.process.WaitForExit(uia::Ms{10000});
    ::DeleteFileA((uia::TempFolder() + "Tavrino.ini").c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: search_window_bench <drive> <pattern that matches nothing> [runs]\n");
        return 2;
    }
    const std::string drive = argv[1], nothing = argv[2];
    const int runs = argc > 3 ? std::atoi(argv[3]) : 1;
    const std::string empty = argc > 4 ? argv[4] : "";
    const std::string result = uia::TempFolder() + "Tavrino.ini";
    // From the start of a silent search until its answer is there.
    const auto silentSearch = [&](const std::string& searched) {
        ::DeleteFileA(result.c_str());
        const double t0 = Now();
        uia::Process p = uia::Start(uia::MainProgram(), "s," + searched + "," + nothing);
        const double seconds = SecondsUntil(t0, [&] { return uia::FileExists(result); }, 2);
        p.WaitForExit(uia::Ms{10000});
        ::DeleteFileA(result.c_str());
        return seconds;
    };

    for (int run = 0; run < runs; ++run) {
        ::DeleteFileA(result.c_str());
        Window none = Open(drive, nothing);
        if (!none.window) return 1;
        double t0 = Now();
        uia::Click(none.button);
        const double nofind = SecondsUntil(t0, [&] { return uia::FileExists(result); });
        none.process.WaitForExit(uia::Ms{10000});

        Window all = Open(drive, "*");
        if (!all.window) return 1;
        t0 = Now();
        uia::Click(all.button);
        const double fill = SecondsUntil(t0, [&] { return CountShown(all); });
        const std::string count = Text(all.label);

        // Again, stopped once the list holds entries. The label keeps the
        // last count until the stopped search shows its own.
        uia::Click(all.button);
        SecondsUntil(Now(), [&] { return Text(all.button) == "Stop!"; });
        SecondsUntil(Now(), [&] { return ::SendMessageA(all.list, LB_GETCOUNT, 0, 0) > 1000; });
        ::Sleep(200);
        t0 = Now();
        uia::Click(all.button);
        const double stopButton = SecondsUntil(t0, [&] { return Text(all.button) == "Suchen"; }, 1);
        const double stopCount = SecondsUntil(t0, [&] { return Text(all.label) != count; }, 1);
        Close(all);

        const double silent = empty.empty() ? 0 : silentSearch(drive);
        const double start = empty.empty() ? 0 : silentSearch(empty);
        std::printf("nofind %.3f fill %.3f %s stop %.3f %.3f silent %.3f start %.3f\n", nofind, fill,
                    count.substr(0, count.find(' ')).c_str(), stopButton, stopCount, silent, start);
        std::fflush(stdout);
    }
    return 0;
}
