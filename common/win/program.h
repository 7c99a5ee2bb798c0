// The life of the program: its message processing and its end.
#pragma once

#include <windows.h>

#include <string>

namespace tav {

// Ends the program at once: no close handlers run, every window goes with the
// process. Open files are owned by RAII types inside the procedures that use
// them, so nothing is pending when this is called.
[[noreturn]] void EndProgram();

// Lets the window messages that are waiting now be processed, once (the
// classic "DoEvents"). Dialog keys (Tab, Enter, Esc) reach the program's
// dialog windows as in their own message loop.
void PumpPendingMessages();

// True when a window of this thread is visible on the screen.
bool AnyVisibleProgramWindow();

// Runs the message loop while a window of the program is visible; a program
// whose last visible window is gone ends (hidden owner windows never keep it
// alive). Returns only by ending the program.
[[noreturn]] void RunUntilNoVisibleWindow();

// Called when a modeless window is created: only such a window can keep the
// program running after Main has returned.
void NoteModelessWindowCreated();

// To be called from WM_DESTROY of each top-level window: ends the program once
// no visible window is left and the message loop is running.
void ProgramWindowDestroyed();

// A message box in the system's style with the given text, title and MB_ flags.
int ShowMessage(const std::string& text, const std::string& title, UINT flags = MB_OK,
                HWND owner = nullptr);

}  // namespace tav
