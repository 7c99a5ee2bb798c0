// The opt-in trace: with the environment variable TAVRINO_LOG naming a file,
// each event is appended to it as one UTF-8 line (common/trace_line.h says
// how a line looks). Without the variable nothing is written anywhere; the
// only cost is one environment lookup, at the first event.
//
// Tracing never changes what the program does: a trace that cannot be
// written is ignored, and the platform's last-error value is the same after
// a trace call as before it.
#pragma once

#include <string>

namespace tav {

// True when TAVRINO_LOG names a file (looked up once).
bool TraceEnabled();

// Appends one event. `text` is in the ANSI code page (English words and the
// program's own ANSI strings); TraceW takes UTF-16.
void Trace(const std::string& text);
void TraceW(const std::wstring& text);

// The start of a program: `what` (e.g. "parameter string") and `tail`, the
// command line after the program's name as the program took it (ANSI), with
// its length, so that blanks at its end show; and the wide command line
// where the ANSI one is not its exact conversion (characters the ANSI code
// page cannot spell, which the platform replaced).
void TraceStart(const char* what, const std::string& tail);

// "<call> failed (<subject>): error N: <the platform's message>", the
// message in English where the platform has it. `error` is the platform's
// error code (GetLastError, or an HRESULT, shown in hexadecimal), `subject`
// what the call was for.
void TraceFailedCall(const char* call, unsigned long error, const std::string& subject = {});
void TraceFailedCallW(const char* call, unsigned long error, const std::wstring& subject);

// A platform call's outcome: "<call> (<subject>): done", or its failure
// with the last-error value as TraceFailedCall gives it. Returns `succeeded`.
bool TraceCall(bool succeeded, const char* call, const std::string& subject);

// `text` in double quotes (which no path can contain).
inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
inline std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

}  // namespace tav
