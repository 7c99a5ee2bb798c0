// The search window "Suchen": runs the searches over the drives in its hidden
// drive list, lists the finds and ends the program with the answer.
#pragma once

#include <windows.h>

#include <string>

namespace tav {

// The window, created hidden on first use (its caption then names the
// pattern of the parameter string); it lives until the program ends.
HWND SearchWindow();

// Appends a drive designation to the hidden drive list (loads the window).
void AddSearchDrive(const std::string& designation);

// Shows the window without a search and without waiting for it.
void ShowSearchWindow();

// Searches every listed drive. Silent (`inWindow` false): the first find, or
// "0" after the last drive, is written and the program ends. In the window, a
// second call during a search stops it.
void StartSearch(bool inWindow);

}  // namespace tav
