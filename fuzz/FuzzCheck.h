#pragma once

#include "../tests/support/TempDir.h"

#include <cstddef>
#include <string>

// A property every input must keep; a breach ends the run so the fuzzer keeps the input.
#define FUZZ_CHECK(condition) \
    do { \
        if (!(condition)) \
            __builtin_trap(); \
    } while (0)

// Writes the input as the one file of folder, emptied first of what earlier inputs left
// (the copies the store keeps of damaged files included).
inline std::string freshFile(const TempDir& folder, const std::string& name, const unsigned char* data, std::size_t size)
{
    std::error_code ignored;
    for (const auto& e : std::filesystem::directory_iterator(folder.path, ignored))
        std::filesystem::remove_all(e.path(), ignored);
    writeBytes(folder.file(name), std::string(reinterpret_cast<const char*>(data), size));
    return folder.file(name);
}
