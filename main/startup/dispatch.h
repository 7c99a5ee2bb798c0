// Start-up and dispatch of the main program: the only code that knows every
// action. Nothing includes it but the entry point.
#pragma once

#include <string>

namespace tav {

// One run: `parameterString` is the command line after the program's name,
// `wideParameterString` the same as the front end wrote it (the wide command
// line's tail). Returns when the action is done or has opened a non-modal
// window.
void RunParameterString(const std::string& parameterString, const std::wstring& wideParameterString);

// The "c" family: the verb in argument 1 selects the action.
void RunFileCommand();

}  // namespace tav
