// The open dialog of the "p" command: the user picks the presentation.
#pragma once

namespace tav {

// Sets PresentationFile to the chosen file. When the user cancels (or the
// dialog fails, for instance on a path longer than its buffer) it reports
// "1" in section "Powerpoint", hands the result file over and ends the program.
void ChoosePresentation();

}  // namespace tav
