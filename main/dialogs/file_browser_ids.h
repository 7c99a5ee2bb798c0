// Control identifiers of the file browser window (shared with its tests).
#pragma once

namespace tav::browser {

enum ControlId : int {
    OkButton = 1,  // OK (IDOK)
    CancelButton = 2,  // Abbrechen (IDCANCEL)
    DriveList = 1101,
    FolderList,
    FileList,
    PreviewBox,
    PreviewLabel,
    SourcePicture,
    SizeLabel,
    StatusLabel,
    NoPreviewFrame,
    NoPreviewSymbol,
};

}  // namespace tav::browser
