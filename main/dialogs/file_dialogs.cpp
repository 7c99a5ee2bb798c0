#include "main/dialogs/file_dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <cstddef>
#include <optional>
#include <string>

#include "common/text.h"
#include "common/win/files.h"
#include "common/win/program.h"
#include "common/win/raii.h"
#include "common/win/trace.h"
#include "main/dialogs/file_dialog_text.h"
#include "main/dialogs/remembered_settings.h"
#include "main/run/result_file.h"
#include "main/run/run_state.h"
#include "main/run/split_path.h"

namespace tav {
namespace {

// The record of the first platform version that had the Explorer-style
// dialogs, without the fields added later: 76 bytes on 32-bit Windows.
// (OPENFILENAME_SIZE_VERSION_400A is this offset plus the field's size.)
static_assert(sizeof(void*) != 4 ||
                  offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == 76,
              "the version-4 open-file record has 76 bytes on 32-bit Windows");

constexpr DWORD kDialogFlags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;  // 0x804
static_assert(kDialogFlags == 0x804, "file dialog flags");

// The folder every file dialog starts in, shared by the three of them.
constexpr const char* kRememberedFolder = "Dlg";
constexpr const char* kDefaultFolder = "C:\\";

enum class DialogKind { Open, Save };

struct FileDialogRequest {
    DialogKind kind;
    HWND owner;
    const std::string* filter;  // nullptr: no filter list
    std::string fileBuffer;     // kFileBufferChars characters
    std::string title;
};

// Shows the dialog; the chosen path, or nothing when the user cancelled or
// the platform refused (a path that does not fit the buffer, for example).
std::optional<std::string> ShowFileDialog(FileDialogRequest& request) {
    const std::string initialFolder = GetSetting(kRememberedFolder, kDefaultFolder);

    OPENFILENAMEA record{};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = request.owner;
    record.lpstrFilter = request.filter ? request.filter->c_str() : nullptr;
    record.nFilterIndex = 1;
    record.lpstrFile = request.fileBuffer.data();
    record.nMaxFile = static_cast<DWORD>(request.fileBuffer.size());
    record.lpstrInitialDir = initialFolder.c_str();
    record.lpstrTitle = request.title.c_str();
    record.Flags = kDialogFlags;

    const BOOL confirmed = request.kind == DialogKind::Open ? ::GetOpenFileNameA(&record)
                                                            : ::GetSaveFileNameA(&record);
    if (!confirmed) { const DWORD error = ::CommDlgExtendedError(); Trace(error == 0 ? "the dialog " + Quoted(request.title) + " was cancelled" : "the dialog " + Quoted(request.title) + " failed: common dialog error " + std::to_string(error)); return std::nullopt; }
    Trace("the dialog " + Quoted(request.title) + " chose " + Quoted(CutAtNul(request.fileBuffer.data(), request.fileBuffer.size())));
    return CutAtNul(request.fileBuffer.data(), request.fileBuffer.size());
}

std::string FolderOf(const std::string& path) {
    std::string folder, name, extension;
    SplitPath(path, folder, name, extension);
    return folder;
}

}  // namespace

void OpenDialog(OwnerWindow owner) {
    ComApartment com;

    // A step that fails reports the failure and the next step runs; a later
    // success overwrites the report.
    std::optional<std::string> filter;
    if (const auto pattern = State.Args[3]) filter = FilterList(*pattern, *pattern);
    else WriteDialogResult("", "1");

    FileDialogRequest request{DialogKind::Open, owner(),
                              filter ? &*filter : nullptr, FileBuffer(), State.DialogTitle};
    const auto chosen = ShowFileDialog(request);
    if (!chosen) {
        WriteDialogResult("", "1");
        EndProgram();  // the result file stays for the front end
    }

    std::string folder, name, extension;
    SplitPath(*chosen, folder, name, extension);
    if (IsPlainFile(*chosen)) {
        const std::string target = State.TargetBase + "." + extension;
        if (TraceCall(::CopyFileA(chosen->c_str(), target.c_str(), FALSE) != FALSE, "CopyFileA", Quoted(*chosen) + " to " + Quoted(target))) {
            WriteDialogResult(extension, "0");
        } else {
            WriteDialogResult("", "1");
        }
    } else {
        // A typed name of a missing file, or a folder.
        Trace("opendialog: " + Quoted(*chosen) + " is not found, or no plain file");
        WriteDialogResult("", "1");
    }
    SaveSetting(kRememberedFolder, folder);
}

void CopyDialog(OwnerWindow owner) {
    ComApartment com;

    const std::string source = Arg(2).value_or("");
    const std::string filter = FilterList("Alle Dateien (*.*)", "*.*");
    FileDialogRequest request{DialogKind::Save, owner(), &filter,
                              FileBuffer(DefaultSaveName(source)), "Datei speichern unter..."};
    const auto chosen = ShowFileDialog(request);
    if (!chosen) EndProgram();

    // An existing file is replaced without a question; a failed copy is not reported.
    TraceCall(::CopyFileA(State.TargetBase.c_str(), chosen->c_str(), FALSE) != FALSE, "CopyFileA", Quoted(State.TargetBase) + " to " + Quoted(*chosen));
    SaveSetting(kRememberedFolder, FolderOf(*chosen));
    EndProgram();
}

std::string ChooseWallpaperPicture(OwnerWindow owner) {
    const std::string filter =
        FilterList("Bilddateien (jpg,gif,bmp,wmf,emf)", "*.jpg;*.bmp;*.gif;*.emf;*.wmf");
    FileDialogRequest request{DialogKind::Open, owner(), &filter, FileBuffer(),
                              "Wählen Sie ein Hintergrundbild"};
    const auto chosen = ShowFileDialog(request);
    if (!chosen) EndProgram();

    SaveSetting(kRememberedFolder, FolderOf(*chosen));
    return *chosen;
}

}  // namespace tav
