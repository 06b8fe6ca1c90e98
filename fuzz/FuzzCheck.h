#pragma once

// A property every input must keep; a breach ends the run so the fuzzer keeps the input.
#define FUZZ_CHECK(condition) \
    do { \
        if (!(condition)) \
            __builtin_trap(); \
    } while (0)
