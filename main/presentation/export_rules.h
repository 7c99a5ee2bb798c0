// Decisions of the presentation export that need no platform: the version
// code from the registered class name, the operands of the "p" command and
// the file names of the slide-by-slide export.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tav {

// The version code for the registered class name of the presentation program
// (its text after the last "."; the whole text when it holds no dot):
// "10" -> "10"; "9"/"09" -> "9"; "8"/"08" -> "8"; a whole number above 10,
// digits only without a leading zero -> that number as it stands ("16");
// anything else -> "" (not installed, unreadable, or unknown).
std::string VersionCodeFromClassName(std::string_view registeredClass);

// How a presentation is exported for a version code.
enum class ExportRoute {
    WholePresentation,  // one Export (pictures) or SaveAs (HTML) call on the presentation
    SlideBySlide,       // the oldest supported version: one Export call per slide
    None,               // unknown or no version: nothing can be exported
};
ExportRoute RouteForVersion(std::string_view versionCode);

// The answer of the registry reader for a key that cannot be opened: the
// sub-key's text before its first backslash followed by " ist nicht installiert".
std::string NotInstalledText(std::string_view subKey);

// The value text from a registry answer: the buffer's first (size - 1)
// characters when the reported size (which counts the closing NUL) is above 1,
// otherwise the empty string. The size is clipped to the buffer.
std::string RegistryValueText(const char* buffer, std::size_t bufferSize, std::size_t reportedSize);

// A width or height operand: an optional sign and at least one decimal digit,
// within the 32-bit signed range; blanks before and after are allowed and
// left out. Nothing else (no blank inside, no decimal point) is a number.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

// `folder` with a backslash at its end (one is appended when missing).
std::string WithTrailingBackslash(std::string folder);

// The file of slide `index` (one-based) in the slide-by-slide export:
// folder + "Folie" + the index with at least three digits + "." + format.
std::string SlideFileName(std::string_view folder, long index, std::string_view format);

}  // namespace tav
