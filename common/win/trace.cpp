#include "common/win/trace.h"

#include <windows.h>

#include "common/trace_line.h"
#include "common/win/ansi.h"
#include "common/win/raii.h"

namespace tav {
namespace {

// The trace file; empty when tracing is off. Both programs are
// single-threaded, so plain statics do.
bool g_looked = false;
std::wstring g_path;
std::string g_program;

const std::wstring& TracePath() {
    if (!g_looked) {
        g_looked = true;
        wchar_t buffer[MAX_PATH * 4] = {};
        const DWORD n = ::GetEnvironmentVariableW(L"TAVRINO_LOG", buffer, MAX_PATH * 4);
        if (n > 0 && n < MAX_PATH * 4) g_path.assign(buffer, n);
    }
    return g_path;
}

// The running program's file name without its folder and extension.
const std::string& ProgramName() {
    if (g_program.empty()) {
        wchar_t buffer[MAX_PATH * 4] = {};
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
        std::wstring name(buffer, n < MAX_PATH * 4 ? n : 0);
        const auto slash = name.find_last_of(L"\\/");
        if (slash != std::wstring::npos) name.erase(0, slash + 1);
        const auto dot = name.find_last_of(L'.');
        if (dot != std::wstring::npos && dot > 0) name.erase(dot);
        g_program = name.empty() ? "?" : trace::Utf8FromWide(name);
    }
    return g_program;
}

trace::Moment Now() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

// One line, appended with one write. Opened for appending only, so that
// every write goes to the end of the file: lines of two programs tracing at
// once follow one another whole. The file is opened and closed for each
// line, so nothing is lost when the program ends at once.
void AppendLine(const std::wstring& path, std::string line) {
    UniqueFile file(::CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    // A read-only file stays as it is (Windows refuses to open it for
    // appending; Wine does not always).
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
        return;
    const std::uint64_t size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    switch (trace::DecideAppend(size, line.size())) {
        case trace::Append::Nothing: return;
        case trace::Append::LineAndLastLine:
            line += trace::FormatLine(Now(), ::GetCurrentProcessId(), ProgramName(),
                                      trace::LimitReachedText());
            break;
        case trace::Append::Line: break;
    }
    DWORD written = 0;
    ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void AppendEvent(const std::wstring& text) {
    const std::wstring& path = TracePath();
    if (path.empty()) return;
    AppendLine(path, trace::FormatLine(Now(), ::GetCurrentProcessId(), ProgramName(),
                                       trace::Utf8FromWide(text)));
}

// Keeps the platform's last-error value across a trace call: code that reads
// it after a call it traced must see the call's own.
class KeepLastError {
public:
    KeepLastError() : error_(::GetLastError()) {}
    ~KeepLastError() { ::SetLastError(error_); }
    KeepLastError(const KeepLastError&) = delete;
    KeepLastError& operator=(const KeepLastError&) = delete;

private:
    DWORD error_;
};

std::wstring SystemMessage(DWORD error, DWORD language) {
    wchar_t buffer[512] = {};
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, error, language, buffer, 512, nullptr);
    std::wstring text(buffer, n < 512 ? n : 0);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    return text;
}

// "error N: <the platform's message>", in English where the platform has it,
// else in the user's language.
std::wstring ErrorText(DWORD error) {
    std::wstring message = SystemMessage(error, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (message.empty()) message = SystemMessage(error, 0);
    if (message.empty()) message = L"(the platform has no text for it)";
    // An HRESULT reads better in hexadecimal.
    std::wstring number = WidenAnsi(std::to_string(error));
    if (error & 0x80000000u) {
        number = L"0x";
        for (int shift = 28; shift >= 0; shift -= 4) number += L"0123456789ABCDEF"[(error >> shift) & 0xF];
    }
    return L"error " + number + L": " + message;
}

}  // namespace

bool TraceEnabled() {
    KeepLastError keep;
    return !TracePath().empty();
}

void Trace(const std::string& text) {
    KeepLastError keep;
    if (TracePath().empty()) return;
    AppendEvent(WidenAnsi(text));
}

void TraceW(const std::wstring& text) {
    KeepLastError keep;
    AppendEvent(text);
}

void TraceStart(const char* what, const std::string& tail) {
    KeepLastError keep;
    if (TracePath().empty()) return;
    AppendEvent(L"started; " + WidenAnsi(what) + L" (" + WidenAnsi(std::to_string(tail.size())) +
                L" characters): " + WidenAnsi(tail));
    const std::wstring wide = ::GetCommandLineW();
    if (WidenAnsi(::GetCommandLineA()) != wide)
        AppendEvent(L"the wide command line differs from the ANSI one (characters the ANSI code page "
                    L"cannot spell were replaced): " + wide);
}

void TraceFailedCallW(const char* call, unsigned long error, const std::wstring& subject) {
    KeepLastError keep;
    if (TracePath().empty()) return;
    std::wstring text = WidenAnsi(call) + L" failed";
    if (!subject.empty()) text += L" (" + subject + L")";
    AppendEvent(text + L": " + ErrorText(error));
}

void TraceFailedCall(const char* call, unsigned long error, const std::string& subject) {
    KeepLastError keep;
    if (TracePath().empty()) return;
    TraceFailedCallW(call, error, WidenAnsi(subject));
}

bool TraceCall(bool succeeded, const char* call, const std::string& subject) {
    KeepLastError keep;
    if (TracePath().empty()) return succeeded;
    if (!succeeded) TraceFailedCall(call, ::GetLastError(), subject);
    else AppendEvent(WidenAnsi(call) + L" (" + WidenAnsi(subject) + L"): done");
    return succeeded;
}

}  // namespace tav
