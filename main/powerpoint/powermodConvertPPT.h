// The "p" command: a presentation exported through the presentation program.
#pragma once

namespace tav {

void RunPresentationCommand();

}  // namespace tav
