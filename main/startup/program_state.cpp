#include "main/startup/program_state.h"

namespace tav {
ProgramState State;
}  // namespace tav
