#include "main/run/run_state.h"

namespace tav {
RunState State;
}  // namespace tav
