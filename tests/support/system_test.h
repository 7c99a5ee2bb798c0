// Shared helpers of the Windows system tests: running the main program as a
// front end does and reading what it leaves behind.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/uia/uia.h"

namespace systest {

// TEMP\Tavrino.ini of the current user.
std::string ResultFile();

// Starts Tavrino2 with the parameter string as its exact command-line tail,
// from the front end's folder unless `cwd` names another.
uia::Process RunMain(const std::string& parameterString,
                     const std::string& cwd = uia::FrontEndFolder());

// Runs Tavrino2 and waits for its end; the exit code (nullopt: still running after `timeout`).
std::optional<DWORD> RunMainToEnd(const std::string& parameterString,
                                  uia::Ms timeout = uia::Ms{15000});

// A fresh, empty folder C:\scratch\<suite>.<test> for the current test.
std::string ScratchFolder();

// The sections of a private-profile file, in file order: section, then (key, value) pairs.
struct IniSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};
std::vector<IniSection> ParseIni(const std::string& bytes);

// The entries of one section of the result file as it is now (nullopt: no
// file, or no such section in it).
using IniEntries = std::map<std::string, std::string>;
std::optional<IniEntries> ResultSection(const std::string& section);

// Deletes the result file, also when it is read-only.
void RemoveResultFile();

// Where screenshots for people go (the harness turns them into PNG files).
std::string ScreenshotPath(const std::string& name);

// True when a visible window of the process appears within `timeout`.
bool ShowsAnyWindow(DWORD pid, uia::Ms timeout);

}  // namespace systest
