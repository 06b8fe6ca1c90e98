#pragma once

#include "store/Messages.h"
#include "store/TbrRec.h"

#include <cstdint>
#include <functional>
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

    // Record t (at most TbrLast) with its buttons in: its file is read the first time
    // anything needs them, and what that reading had to say goes to onFirstRead.
    // Everything that looks at a toolbar's Btns or BtnCount gets the record here, so a
    // toolbar nobody shows never costs the reading of its file.
    TbrRec& withButtons(std::size_t t);
    // Told what a reading by withButtons had to say (never called with nothing to say).
    // The owner shows it; the store only reads. Null: nobody is told.
    std::function<void(const TbrRec&, const StoreMessages&)> onFirstRead{};
};
