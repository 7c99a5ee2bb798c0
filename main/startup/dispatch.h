// Start-up and dispatch of the main program.
#pragma once

#include <string>

namespace tav {

// One run: `parameterString` is the command line after the program's name.
// Returns when the action is done or has opened a non-modal window.
void RunParameterString(const std::string& parameterString);

// The "c" family: the verb in argument 1 selects the action.
void RunFileCommand();

// "makedir": creates the folder named by argument 2 (only its last component).
void MakeFolder();
// "rename": gives the file or folder of argument 2 the path of argument 3.
void RenamePath();

}  // namespace tav
