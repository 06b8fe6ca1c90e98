#pragma once

// Icons inside Windows programs and libraries, read from bytes in memory: PE32 and PE32+
// (.exe, .dll, .icl, .cpl, .ocx) and the 16-bit NE format of old programs and icon
// libraries. Plain C++ with no Qt and no file access, so it can be fuzzed on its own.
//
// Such a file keeps its icons as resources: each icon group (what a user calls one icon)
// lists its pictures by number, and each picture is a resource of its own holding a
// bitmap or a PNG. Only the resource directory is walked to find them, so a large file
// costs no more than its directory: read piece by piece, the rest is never touched.
// Every offset and count comes from the file and is checked; a directory is visited at
// most once, so a loop of directories ends; and the whole walk has a budget of steps
// (entries visited, sections looked up), so that entries leading to many more entries
// cannot multiply the work.

#include "formats/ByteSource.h"
#include "formats/IcoParser.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace exe {

enum class Format { None, Pe, Ne };

// Where a resource's bytes lie in the file; always wholly inside it.
struct Span {
    std::size_t offset = 0;
    std::size_t size = 0;
};

struct Resources {
    Format format = Format::None;
    // The icon groups in directory order: icon n of the file is groups[n].
    std::vector<Span> groups;
    // The pictures by their resource number, sorted by number; the first language of each.
    std::vector<std::pair<std::uint32_t, Span>> pictures;
    // The steps the walk took, and whether it ran out of them and gave up part-way.
    std::size_t steps = 0;
    bool budgetSpent = false;
};

// The steps one file's walk may take: far more than the largest icon libraries need.
constexpr std::size_t MaxSteps = std::size_t(1) << 20;

// The icon resources of a PE or NE file; format None when the bytes are neither.
Resources readResources(ByteSource& file, std::size_t maxSteps = MaxSteps);
Resources readResources(std::span<const std::uint8_t> file, std::size_t maxSteps = MaxSteps);

// The pictures of icon group `group`, as icon-file entries whose offsets are into the
// file, ready for ico::preferenceOrder. Pictures the group names but the file lacks are
// left out, and so is any part of the group past its own bytes, whatever count it claims.
std::vector<ico::Entry> groupEntries(ByteSource& file, const Resources& resources, std::size_t group);
std::vector<ico::Entry> groupEntries(std::span<const std::uint8_t> file, const Resources& resources,
                                     std::size_t group);

} // namespace exe
