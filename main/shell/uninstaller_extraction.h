// Writing out the carried uninstaller and starting it.
#pragma once

#include <string>

namespace tav {

// "c,u/<folder>": `parameterString` is the whole parameter string. Ends the program.
void ExtractAndStartUninstaller(const std::string& parameterString);

}  // namespace tav
