// Start-up and dispatch of the main program: the only code that knows every
// action. Nothing includes it but the entry point.
#pragma once

#include <string>

namespace tav {

// One run: `parameterString` is the command line after the program's name.
// Returns when the action is done or has opened a non-modal window.
void RunParameterString(const std::string& parameterString);

// The "c" family: the verb in argument 1 selects the action.
void RunFileCommand();

}  // namespace tav
