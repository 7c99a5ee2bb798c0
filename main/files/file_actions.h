// Copying single files and the files of a list file.
#pragma once

namespace tav {

void CopyOneFile();      // "copy": one file, replacing the destination
void CopyListedFiles();  // "ini": every record of the list file beside the program

}  // namespace tav
