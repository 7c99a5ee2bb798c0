// The state of one run of the main program. It is set once where the start-up
// routine and the dispatcher set it, and read directly by the actions.
#pragma once

#include <string>

#include "main/run/parameters.h"

namespace tav {

struct RunState {
    std::string TempPath;       // the user's temp folder, always ending in a backslash
    ArgList Args;               // the parameter string split at commas
    std::string DialogTitle;    // title of the open dialog / caption of the file browser
    std::string TargetBase;     // path without extension that a chosen file is copied to
    bool SearchActive = false;  // cleared to stop a running search walk
    std::string SearchResult;   // the search's report string
};

extern RunState State;

// Argument n of the parameter string, or nothing when it is missing (which
// the trace notes: an action reads through this what it needs). An optional
// argument is read from State.Args directly.
std::optional<std::string> Arg(std::size_t n);

}  // namespace tav
