#pragma once

#include "store/TbrRec.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int MaxToolbars = 256;

// The whole set: Tbrs(0..TbrLast) are in use; elements above TbrLast may exist with
// stale data. Tbrs only grows.
struct ToolbarSet {
    std::vector<TbrRec> Tbrs;
    std::uint8_t TbrLast{0}; // highest index in use, not a count
    // The data folder: each record RedimTbrs adds takes it as its Folder.
    std::string Folder{};

    // Resizes Tbrs to indexes 0..upper, keeping existing elements; never shrinks.
    void RedimTbrs(std::size_t upper);
    int count() const { return Tbrs.empty() ? 0 : TbrLast + 1; }
};
