// The "s" command: which drives are searched, silently or in the search window.
#pragma once

#include <string>
#include <vector>

namespace tav {

// s,drive,pattern[,list]: "all" (exactly) searches every fixed drive, anything
// else is one drive designation; a designation that is no fixed drive root is
// answered at once with Result "0" and an empty File.
void RunSearchCommand();

// The root paths of all logical drives as the platform lists them ("C:\",
// "D:\", and the empty piece after the last separator).
std::vector<std::string> GetDriveStrings();

// Appends every fixed drive ("C:", "D:") to the search window's drive list,
// in the platform's order.
void AddFixedDrives();

}  // namespace tav
