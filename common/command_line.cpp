#include "common/command_line.h"

namespace tav {

namespace {

template <class Char>
std::basic_string<Char> TailOf(std::basic_string_view<Char> cmd) {
    // The platform's own rule for the program name: a quoted name ends at its
    // closing quote, an unquoted one at the first blank or tab.
    std::size_t i = 0;
    if (i < cmd.size() && cmd[i] == '"') {
        ++i;
        while (i < cmd.size() && cmd[i] != '"') ++i;
        if (i < cmd.size()) ++i;
    } else {
        while (i < cmd.size() && cmd[i] != ' ' && cmd[i] != '\t') ++i;
    }
    while (i < cmd.size() && (cmd[i] == ' ' || cmd[i] == '\t')) ++i;
    return std::basic_string<Char>(cmd.substr(i));
}

}  // namespace

std::string CommandLineTail(std::string_view cmd) { return TailOf(cmd); }
std::wstring CommandLineTail(std::wstring_view cmd) { return TailOf(cmd); }

}  // namespace tav
