// Launching a program, document or URL for the running program, without waiting for it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tx {

struct ExecCommand {
    std::string file;
    std::string parameters;
};

// Splits a command into the file and its parameters: leading spaces are skipped; a file that
// begins with a double quote runs to the next one, otherwise to the first space; the rest,
// trimmed of spaces, are the parameters. Empty when the command names no file.
std::optional<ExecCommand> parseExecCommand(std::string_view command);

// Splits parameters into arguments at spaces and tabs; double quotes group text that contains
// spaces and are removed.
std::vector<std::string> splitParameters(std::string_view parameters);

}  // namespace tx
