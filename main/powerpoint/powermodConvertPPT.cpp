#include "main/powerpoint/powermodConvertPPT.h"

namespace tav {

void RunPresentationCommand() {}

}  // namespace tav
