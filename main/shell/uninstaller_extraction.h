// Writing out the carried uninstaller and starting it.
#pragma once

#include <string>

namespace tav {

// "c,u/<folder>": `wideParameterString` is the whole parameter string as the
// front end wrote it (the wide command line's tail). The uninstaller gets the
// folder in that form and judges its spelling itself. Ends the program.
void ExtractAndStartUninstaller(const std::wstring& wideParameterString);

}  // namespace tav
