// The examples of docs/actions.md hold for the real program: each block is
// one test, played by the runner in tests/support/example_runner.h.
#include "tests/support/example_runner.h"

using namespace systest;

namespace {

class ReferenceExample : public ExampleRunner {};

TEST_P(ReferenceExample, HoldsForTheRealProgram) { Play(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Reference, ReferenceExample, ::testing::ValuesIn(ReadExamples()),
                         [](const ::testing::TestParamInfo<Example>& info) { return info.param.name; });

}  // namespace
