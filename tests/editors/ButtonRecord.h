#pragma once

#include "store/TbrRec.h"

#include <string>
#include <tuple>

// A button's stored fields as one value, so a test compares whole records and a failure
// prints them (the run-time picture position is left out).
inline auto record(const BtnRec& b)
{
    return std::tuple<std::string, std::string, std::string, int, std::string, int>(
        b.Name, b.Executable, b.Parameters, b.Kind, b.IconFile, b.IconIndex);
}
