#include "main/files/file_actions.h"

#include <windows.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "common/win/files.h"
#include "common/win/folders.h"
#include "common/win/program.h"
#include "common/win/raii.h"
#include "main/files/list_file.h"
#include "main/run/run_state.h"

namespace tav {

void CopyOneFile() {
    const auto source = Arg(2);
    const auto destination = Arg(3);
    if (!source || !destination) return;
    ::CopyFileA(Trim(*source).c_str(), Trim(*destination).c_str(), FALSE);
}

void CopyListedFiles() {
    const auto name = Arg(2);
    if (!name) EndProgram();
    const auto text = ReadWholeFile(ListFilePath(ProgramFolder(), Trim(*name)));
    if (!text) EndProgram();

    // Every record is read before the first copy; there is no limit on their number.
    std::vector<ListRecord> records;
    ListReader reader(*text);
    while (!reader.AtEnd()) {
        PumpPendingMessages();
        records.push_back(reader.Next());
    }

    for (const auto& record : records) {
        PumpPendingMessages();
        ::CopyFileA(record.source.c_str(), record.destination.c_str(), FALSE);
    }
    EndProgram();
}

}  // namespace tav
