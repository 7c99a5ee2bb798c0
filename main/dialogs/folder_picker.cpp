#include "main/dialogs/folder_picker.h"

#include <shlobj.h>

#include <cstring>

#include "common/text.h"
#include "common/win/program.h"
#include "common/win/raii.h"
#include "main/run/result_file.h"
#include "main/run/run_state.h"
#include "main/run/split_path.h"

namespace tav {

void SelectFolderCommand(OwnerWindow owner) {
    ComApartment com;  // the shell's folder dialog needs it

    const std::string startFolder =
        StripTrailingBackslash(State.Args.Count() == 4 ? State.Args.OrEmpty(3) : std::string());
    const auto chosen = BrowseForFolder(owner, startFolder);
    if (!chosen) return;  // no text for the dialog: nothing shown, nothing written

    if (!chosen->empty()) WriteSelectFolderResult(*chosen, "0");
    else WriteSelectFolderResult("", "1");
    ResultHandOver();
    EndProgram();
}

std::optional<std::string> BrowseForFolder(OwnerWindow owner, const std::string& startFolder) {
    HWND window = owner();
    const auto text = Arg(2);
    if (!text) return std::nullopt;

    // The start folder travels to the callback in a zero-filled block of its
    // own; the dialog never sees the string object.
    UniqueLocal selection(::LocalAlloc(LMEM_ZEROINIT, startFolder.size() + 1));
    if (selection) std::memcpy(selection.get(), startFolder.c_str(), startFolder.size() + 1);

    BROWSEINFOA request{};
    request.hwndOwner = window;
    request.pidlRoot = nullptr;  // the desktop
    request.pszDisplayName = nullptr;
    request.lpszTitle = text->c_str();
    request.ulFlags = 0;  // every item can be chosen, also those without a file-system path
    request.lpfn = BrowseCallback;
    request.lParam = reinterpret_cast<LPARAM>(selection.get());

    std::string result;
    UniqueItemIdList item(::SHBrowseForFolderA(&request));
    if (item) {
        char path[MAX_PATH] = {};
        if (::SHGetPathFromIDListA(item.get(), path)) result = CutAtNul(path, sizeof path);
    }
    return result;
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM lpData) {
    if (message == BFFM_INITIALIZED && lpData != 0) {
        // wParam nonzero: lParam is a path, not an item list.
        ::SendMessageA(dialog, BFFM_SETSELECTIONA, static_cast<WPARAM>(-1), lpData);
    }
    return 0;
}

}  // namespace tav
