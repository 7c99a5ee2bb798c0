#include "main/run/run_state.h"

namespace tav {
ProgramState State;
}  // namespace tav
