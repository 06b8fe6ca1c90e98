#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Splits a parameter line into arguments the way a POSIX shell would quote them, and
// nothing more: blanks, tabs and line ends separate words; '...' keeps everything
// literally; "..." keeps blanks and honours \" \\ \$ \` and a backslash-newline; a
// backslash outside quotes takes the next character as it is. There is no expansion of
// any kind ($, `, ~, globs, ;, |, redirections are plain characters), so nothing typed
// here can make the launcher run something else.
//
// nullopt when a quote is left open or the line ends in a lone backslash: the intended
// arguments are then unknown, and guessing could hand a program the wrong file.
std::optional<std::vector<std::string>> splitArgs(std::string_view line);
