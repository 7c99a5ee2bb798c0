// The "p" command: a presentation that the user picks is exported as pictures
// (one per slide) or as HTML through the presentation program's automation
// interface, which is reached by member name at run time.
#pragma once

#include <cstdint>
#include <string>

namespace tav {

// The operands of the command, set once per run.
extern std::string ExportTarget;   // the output folder ("png") or file name ("html")
extern std::int32_t ExportWidth;   // picture size of each exported slide
extern std::int32_t ExportHeight;
extern std::string ExportFormat;   // "png" or "html"
extern std::string PresentationFile;  // chosen in the open dialog

// p,<target>,<width>,<height>,<format>: stores the operands, lets the user pick
// the presentation and exports it. A missing operand, or a width or height that
// is not a whole number, ends the command before the dialog, silently.
void RunPresentationCommand();

// Exports PresentationFile, reports "0" in section "Powerpoint" when everything
// asked for was exported and "1" otherwise, hands the result file over and ends
// the program.
[[noreturn]] void ExportPresentation();

}  // namespace tav
