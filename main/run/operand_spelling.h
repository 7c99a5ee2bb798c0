// Whether the operands a run acts on are spelled as the front end wrote them.
// A front end that starts the program with a wide command line hands it an
// ANSI copy in which characters the code page cannot spell have become
// look-alikes ("Ł" -> "L", "∕" -> "/", fullwidth letters -> ASCII): a path
// among the operands may then name another file. No platform headers.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tav {

// The elements of `args` (the ANSI parameter string split at commas) that
// must be exactly what the front end wrote before the run may act: those that
// select the action (the family, a named verb of "c") and every operand that
// names a path the action deletes, writes, copies to, renames or creates.
// Titles, patterns, descriptions, sizes and files that are only read are not
// among them. Ascending, each index once; indices past the end of `args` may
// appear (the action then finds the operand missing anyway).
std::vector<std::size_t> ElementsSpelledExactly(const std::vector<std::string>& args);

// `exactArgs` is the wide parameter string split at commas, each element in
// the ANSI code page where it has an exact spelling there and nothing where
// it has not. True when every element named by ElementsSpelledExactly that
// `args` holds is, in `exactArgs`, present and the same text.
bool ActsOnWhatWasWritten(const std::vector<std::string>& args,
                          const std::vector<std::optional<std::string>>& exactArgs);

}  // namespace tav
