// Control identifiers of the file browser window (shared with its tests).
#pragma once

namespace tav::browser {

enum ControlId : int {
    Command1 = 1,  // OK (IDOK)
    Command2 = 2,  // Abbrechen (IDCANCEL)
    Drive1 = 1101,
    Dir1,
    File1,
    Picture1,
    Label1,
    picSource,
    Label2,
    lblStatus,
    picNoFile,
    Picture2,
};

}  // namespace tav::browser
