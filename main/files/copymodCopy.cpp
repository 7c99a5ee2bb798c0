#include "main/files/copymodCopy.h"

#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/win/folders.h"
#include "common/win/program.h"
#include "common/win/raii.h"
#include "main/files/list_file.h"
#include "main/startup/program_state.h"

namespace tav {
namespace {

// The whole file as bytes; nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::string& path) {
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    try {
        char buffer[65536];
        DWORD read = 0;
        for (;;) {
            if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return std::nullopt;
            if (read == 0) break;
            bytes.append(buffer, read);
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

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
