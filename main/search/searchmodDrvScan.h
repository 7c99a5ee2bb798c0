// The "s" command: which drives are searched, silently or in the search window.
#pragma once

namespace tav {

void SearchCommand();

}  // namespace tav
