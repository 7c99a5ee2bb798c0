// Identifiers of the uninstaller's resources.
#pragma once

#define IDI_UNINSTALL 1
