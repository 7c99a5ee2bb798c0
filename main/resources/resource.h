// Identifiers of the main program's resources (shared by the resource script and the code).
#pragma once

#define IDI_TAVRINO 1      // window and program icon
#define IDI_NOPREVIEW 2    // the file browser's no-preview symbol
#define IDR_UNINSTALLER 101  // type "CUSTOM": the uninstaller's executable, byte for byte
#define IDR_ABOUT_PICTURE 201  // RCDATA: the about window's JPEG artwork (291 x 300)
