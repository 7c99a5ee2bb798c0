// Runs the examples of docs/actions.md against the real program the way a
// front end runs them: Tavrino2.exe started from the front end's folder
// D:\Front End, its dialogs answered like the person at the screen, the
// result file read while it is held. The document travels in the test
// program as resource RCDATA 1; the form of an example block is described in
// the document itself.
#pragma once

#include <windows.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "tests/support/system_test.h"

namespace systest {

// One line of an example block: "key: value", with the "| " lines below it.
struct ExampleLine {
    std::string key, value;
    std::vector<std::string> more;
};

struct Example {
    std::string name;   // for the test: the document line and the action
    int line = 0;       // of the opening fence in the document
    std::string error;  // what is wrong with the block's form
    std::vector<ExampleLine> lines;
};
inline void PrintTo(const Example& e, std::ostream* os) { *os << "docs/actions.md line " << e.line; }

// Every example block of the embedded document, in document order.
std::vector<Example> ReadExamples();

// A test fixture that sets the stage every example starts from (the front
// end's folder with Tavrino2 in it, the drives as they were, no remembered
// settings, no presentation program, a stale result file) and plays one.
class ExampleRunner : public ::testing::TestWithParam<Example> {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    // Prepares the example's files, runs the program, answers its windows and
    // checks the result file and what is there afterwards.
    void Play(const Example& example);

private:
    static std::set<std::string>& OriginalEntries();
    void Prepare(const ExampleLine& l);
    HWND Current();
    void Closed();
    HWND ListWith(const std::string& entry, uia::Ms timeout);
    void Answer(const std::string& answer);
    void CheckResult(const ExampleLine& l);
    void CheckAfterwards(const ExampleLine& l);

    uia::Process program_;
    HWND current_ = nullptr;
    std::vector<std::string> folders_;
};

}  // namespace systest
