#include "main/search/searchmodDrvScan.h"

namespace tav {

void SearchCommand() {}

}  // namespace tav
