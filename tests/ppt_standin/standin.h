// What the system tests and the stand-in presentation server share: the
// server's class ID, where it records the calls it receives and where it
// reads what it is told to do.
//
// The control file is a private-profile file, section "standin":
//   Slides=N        slides of every opened presentation (default 3)
//   RefuseOpen=1    Open fails (a missing file fails it as well)
//   Fail=A.B C.D    these members fail, named "Object.Member", for example
//                   "Presentation.Export", "Presentation.SaveAs", "Slide.Export"
//   FailSlide=N     the Export of slide N fails
//
// Every call is one line of the log, fields separated by tabs:
//   Object.Member  then each argument as TYPE:value (named ones as name=TYPE:value),
// with the member and argument names spelled as the caller looked them up.
// Creating the application writes "Application.New" and the process ID.
#pragma once

#include <windows.h>

namespace standin {

// {5C0B7A61-2E4F-4D8A-9B1E-7A3C6F2D9E41}
inline constexpr GUID kClassId = {
    0x5c0b7a61, 0x2e4f, 0x4d8a, {0x9b, 0x1e, 0x7a, 0x3c, 0x6f, 0x2d, 0x9e, 0x41}};
inline constexpr const char* kClassIdText = "{5C0B7A61-2E4F-4D8A-9B1E-7A3C6F2D9E41}";

inline constexpr const char* kFolder = "C:\\ppt_standin";
inline constexpr const char* kLogFile = "C:\\ppt_standin\\calls.log";
inline constexpr const char* kControlFile = "C:\\ppt_standin\\control.ini";
inline constexpr const char* kDllName = "ppt_standin.dll";
inline constexpr const char* kHostName = "ppt_standin_host.exe";

// The host program holds a running instance in the running-object table:
// it signals the first event once registered and ends when the second is set.
inline constexpr const char* kHostReadyEvent = "ppt_standin_host_ready";
inline constexpr const char* kHostEndEvent = "ppt_standin_host_end";

}  // namespace standin
