#include "formats/ExeParser.h"

#include "formats/Budget.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

namespace exe {

namespace {

constexpr std::uint32_t RtIcon = 3;
constexpr std::uint32_t RtGroupIcon = 14;
// The group directory: a 6-byte header and 14-byte entries naming pictures by number.
constexpr std::size_t GroupHeader = 6;
constexpr std::size_t GroupEntry = 14;
constexpr std::size_t MaxGroupBytes = GroupHeader + 0xFFFF * GroupEntry;
constexpr std::size_t InfoHeaderMin = 40;

using Bytes = ByteSource;

void sortPictures(Resources& r)
{
    // Stable, so that of two pictures with one number the first in the file wins.
    std::stable_sort(r.pictures.begin(), r.pictures.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    r.pictures.erase(std::unique(r.pictures.begin(), r.pictures.end(),
                                 [](const auto& a, const auto& b) { return a.first == b.first; }),
                     r.pictures.end());
}

// ---- PE ----

struct Section {
    std::uint32_t address = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
};

class PeReader {
public:
    PeReader(Bytes& file, std::vector<Section> sections, std::size_t root, Budget& budget)
        : m_file(file), m_sections(std::move(sections)), m_root(root), m_budget(budget)
    {
        // Sorted by address once, so that finding the section of an address is a search,
        // not a walk through up to 65,535 sections for every data entry. Of sections that
        // start at one address the first in the table wins, as it did in table order.
        std::stable_sort(m_sections.begin(), m_sections.end(),
                         [](const Section& a, const Section& b) { return a.address < b.address; });
        m_sections.erase(std::unique(m_sections.begin(), m_sections.end(),
                                     [](const Section& a, const Section& b) { return a.address == b.address; }),
                         m_sections.end());
    }

    // Walks type, name and language directories, keeping the icons and the groups.
    void read(Resources& out)
    {
        forEachEntry(m_root, [&](std::uint32_t type, bool typeIsDir, std::uint32_t typeAt) {
            if (!typeIsDir || (type != RtIcon && type != RtGroupIcon))
                return;
            forEachEntry(m_root + typeAt, [&](std::uint32_t name, bool nameIsDir, std::uint32_t nameAt) {
                if (!nameIsDir)
                    return;
                // The first language that leads to data stands for the resource.
                bool done = false;
                forEachEntry(m_root + nameAt, [&](std::uint32_t, bool langIsDir, std::uint32_t langAt) {
                    if (done || langIsDir)
                        return;
                    const auto span = dataAt(m_root + langAt);
                    if (!span)
                        return;
                    done = true;
                    if (type == RtGroupIcon)
                        out.groups.push_back(*span);
                    else if (!(name & 0x80000000u))
                        out.pictures.emplace_back(name, *span);
                });
            });
        });
    }

private:
    // Calls f(id, isDirectory, offset) for each entry of the directory at `at`. A
    // directory already seen is not read again: that ends any loop. Each entry is a step.
    template <class F>
    void forEachEntry(std::size_t at, F&& f)
    {
        if (!m_file.has(at, 16) || !m_seen.insert(at).second)
            return;
        const std::size_t count = std::size_t(m_file.u16(at + 12)) + m_file.u16(at + 14);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t e = at + 16 + i * 8;
            if (!m_file.has(e, 8) || !m_budget.spend())
                return;
            std::uint8_t entry[8];
            if (!m_file.read(e, 8, entry))
                return;
            const std::uint32_t id = std::uint32_t(entry[0]) | std::uint32_t(entry[1]) << 8
                | std::uint32_t(entry[2]) << 16 | std::uint32_t(entry[3]) << 24;
            const std::uint32_t target = std::uint32_t(entry[4]) | std::uint32_t(entry[5]) << 8
                | std::uint32_t(entry[6]) << 16 | std::uint32_t(entry[7]) << 24;
            f(id, (target & 0x80000000u) != 0, target & 0x7FFFFFFFu);
        }
    }

    // A data entry: the resource's address (relative to the image) and size.
    std::optional<Span> dataAt(std::size_t at)
    {
        if (!m_file.has(at, 16) || !m_budget.spend())
            return std::nullopt;
        const std::uint32_t rva = m_file.u32(at);
        const std::uint32_t size = m_file.u32(at + 4);
        // The last section starting at or before the address.
        auto s = std::upper_bound(m_sections.begin(), m_sections.end(), rva,
                                  [](std::uint32_t v, const Section& x) { return v < x.address; });
        if (s == m_sections.begin())
            return std::nullopt;
        --s;
        if (rva - s->address >= s->rawSize)
            return std::nullopt;
        const std::size_t offset = std::size_t(s->rawOffset) + (rva - s->address);
        // Within the section's bytes and within the file.
        if (size > s->rawSize - (rva - s->address) || !m_file.has(offset, size) || size == 0)
            return std::nullopt;
        return Span{offset, size};
    }

    Bytes& m_file;
    std::vector<Section> m_sections;
    std::size_t m_root;
    Budget& m_budget;
    std::unordered_set<std::size_t> m_seen;
};

Resources readPe(Bytes& file, std::size_t pe, Budget& budget)
{
    Resources r;
    // The file header: machine, section count, three fields, the optional header's size.
    if (!file.has(pe, 20))
        return r;
    const std::size_t sectionCount = file.u16(pe + 2);
    const std::size_t optionalSize = file.u16(pe + 16);
    const std::size_t optional = pe + 20;
    if (!file.has(optional, 2))
        return r;
    const std::uint16_t magic = file.u16(optional);
    std::size_t countAt = 0;
    if (magic == 0x10B)
        countAt = 92;
    else if (magic == 0x20B)
        countAt = 108;
    else
        return r;
    // The resource directory is the third of the data directories.
    if (optionalSize < countAt + 4 + 3 * 8 || !file.has(optional, optionalSize))
        return r;
    if (file.u32(optional + countAt) < 3)
        return r;
    const std::size_t dir = optional + countAt + 4 + 2 * 8;
    const std::uint32_t resourceRva = file.u32(dir);
    if (resourceRva == 0)
        return r;

    const std::size_t table = optional + optionalSize;
    if (!file.has(table, sectionCount * 40))
        return r;
    // The table read in one piece: at most 65,535 entries of 40 bytes.
    const std::vector<std::uint8_t> raw = file.bytes(table, sectionCount * 40);
    if (raw.size() != sectionCount * 40)
        return r;
    MemoryBytes t(raw);
    std::vector<Section> sections;
    sections.reserve(sectionCount);
    std::optional<std::size_t> root;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t s = i * 40;
        Section section{t.u32(s + 12), t.u32(s + 16), t.u32(s + 20)};
        // Raw data inside the headers or past the end is not data.
        if (section.rawOffset < table + sectionCount * 40 || !file.has(section.rawOffset, 0))
            continue;
        // Raw bytes cut short by the end of the file: only what is there counts.
        section.rawSize = std::uint32_t(std::min<std::size_t>(section.rawSize, file.size() - section.rawOffset));
        if (!root && resourceRva >= section.address && resourceRva - section.address < section.rawSize)
            root = std::size_t(section.rawOffset) + (resourceRva - section.address);
        sections.push_back(section);
    }
    if (!root)
        return r;
    r.format = Format::Pe;
    PeReader(file, std::move(sections), *root, budget).read(r);
    sortPictures(r);
    return r;
}

// ---- NE ----

Resources readNe(Bytes& file, std::size_t ne, Budget& budget)
{
    Resources r;
    if (!file.has(ne, 0x40))
        return r;
    const std::size_t table = ne + file.u16(ne + 0x24);
    const std::size_t tableEnd = ne + file.u16(ne + 0x26); // the resident names follow it
    if (file.u16(ne + 0x24) == file.u16(ne + 0x26) || !file.has(table, 2))
        return r;
    r.format = Format::Ne;
    const unsigned shift = file.u16(table);
    if (shift > 16)
        return r;
    const std::size_t end = tableEnd > table ? std::min(tableEnd, file.size()) : file.size();
    // Resource data lies after the tables, never inside them or the headers.
    const std::size_t dataStart = std::max(end, table + 2);
    std::size_t at = table + 2;
    // Each type: its number, how many resources, 4 reserved bytes, then 12 bytes each.
    while (at + 2 <= end) {
        const std::uint16_t type = file.u16(at);
        if (type == 0 || at + 8 > end || !budget.spend())
            break;
        const std::size_t count = file.u16(at + 2);
        at += 8;
        if (count > (end - at) / 12)
            break;
        for (std::size_t i = 0; i < count; ++i, at += 12) {
            if (type != (0x8000 | RtIcon) && type != (0x8000 | RtGroupIcon))
                continue;
            if (!budget.spend())
                break;
            const std::size_t offset = std::size_t(file.u16(at)) << shift;
            std::size_t size = std::size_t(file.u16(at + 2)) << shift;
            const std::uint16_t id = file.u16(at + 6);
            // Lengths are whole alignment units: the last one may run past the end.
            if (offset >= file.size() || offset < dataStart || size == 0)
                continue;
            size = std::min(size, file.size() - offset);
            if (type == (0x8000 | RtGroupIcon))
                r.groups.push_back({offset, size});
            else if (id & 0x8000)
                r.pictures.emplace_back(id & 0x7FFF, Span{offset, size});
        }
    }
    sortPictures(r);
    return r;
}

} // namespace

Resources readResources(ByteSource& file, std::size_t maxSteps)
{
    Budget budget(maxSteps);
    Resources r;
    if (!file.has(0, 0x40) || file.u16(0) != ('M' | 'Z' << 8))
        return r;
    const std::size_t next = file.u32(0x3C);
    if (next < 0x40 || !file.has(next, 4))
        return r;
    std::uint8_t mark[4] = {};
    if (!file.read(next, 4, mark))
        return r;
    if (mark[0] == 'P' && mark[1] == 'E' && mark[2] == 0 && mark[3] == 0)
        r = readPe(file, next + 4, budget);
    else if (mark[0] == 'N' && mark[1] == 'E')
        r = readNe(file, next, budget);
    r.steps = budget.spent();
    r.budgetSpent = budget.exhausted();
    return r;
}

Resources readResources(std::span<const std::uint8_t> file, std::size_t maxSteps)
{
    MemoryBytes bytes(file);
    return readResources(bytes, maxSteps);
}

std::vector<ico::Entry> groupEntries(ByteSource& file, const Resources& resources, std::size_t group)
{
    std::vector<ico::Entry> entries;
    if (group >= resources.groups.size())
        return entries;
    const Span g = resources.groups[group];
    // No group can name more pictures than its 16-bit count allows.
    const std::vector<std::uint8_t> raw = file.bytes(g.offset, std::min(g.size, MaxGroupBytes));
    MemoryBytes dir(raw);
    if (dir.size() < GroupHeader || dir.u16(0) != 0 || dir.u16(2) != 1)
        return entries;
    // The count the group claims, but never more entries than its bytes hold.
    const std::size_t count = std::min<std::size_t>(dir.u16(4), (dir.size() - GroupHeader) / GroupEntry);
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = GroupHeader + i * GroupEntry;
        std::uint32_t id = dir.u16(at + 12);
        if (resources.format == Format::Ne)
            id &= 0x7FFF;
        const auto it = std::lower_bound(resources.pictures.begin(), resources.pictures.end(), id,
                                         [](const auto& p, std::uint32_t v) { return p.first < v; });
        if (it == resources.pictures.end() || it->first != id)
            continue;
        ico::Entry e;
        e.width = raw[at] == 0 ? 256 : raw[at];
        e.height = raw[at + 1] == 0 ? 256 : raw[at + 1];
        e.bitCount = dir.u16(at + 6);
        e.offset = it->second.offset;
        e.size = it->second.size;
        e.png = ico::isPng(file.bytes(e.offset, std::min<std::size_t>(e.size, 8)));
        if (!e.png && e.size < InfoHeaderMin)
            continue;
        entries.push_back(e);
    }
    return entries;
}

std::vector<ico::Entry> groupEntries(std::span<const std::uint8_t> file, const Resources& resources,
                                     std::size_t group)
{
    MemoryBytes bytes(file);
    return groupEntries(bytes, resources, group);
}

} // namespace exe
