#include "main/run/run_state.h"

#include "common/win/trace.h"

namespace tav {

RunState State;

std::optional<std::string> Arg(std::size_t n) {
    auto argument = State.Args[n];
    if (!argument)
        Trace("argument " + std::to_string(n) + " is missing (the parameter string has " +
              std::to_string(State.Args.Count()) + ")");
    return argument;
}

}  // namespace tav
