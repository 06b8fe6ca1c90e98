#include "platform/ExeParser.h"

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
constexpr std::size_t InfoHeaderMin = 40;

using Bytes = std::span<const std::uint8_t>;

bool has(Bytes b, std::size_t at, std::size_t n)
{
    return at <= b.size() && n <= b.size() - at;
}

std::uint16_t u16(Bytes b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t u32(Bytes b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8)
        | (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

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
    PeReader(Bytes file, std::vector<Section> sections, std::size_t root)
        : m_file(file), m_sections(std::move(sections)), m_root(root)
    {
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
    // directory already seen is not read again: that ends any loop.
    template <class F>
    void forEachEntry(std::size_t at, F&& f)
    {
        if (!has(m_file, at, 16) || !m_seen.insert(at).second)
            return;
        const std::size_t count = std::size_t(u16(m_file, at + 12)) + u16(m_file, at + 14);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t e = at + 16 + i * 8;
            if (!has(m_file, e, 8))
                return;
            const std::uint32_t id = u32(m_file, e);
            const std::uint32_t target = u32(m_file, e + 4);
            f(id, (target & 0x80000000u) != 0, target & 0x7FFFFFFFu);
        }
    }

    // A data entry: the resource's address (relative to the image) and size.
    std::optional<Span> dataAt(std::size_t at) const
    {
        if (!has(m_file, at, 16))
            return std::nullopt;
        const std::uint32_t rva = u32(m_file, at);
        const std::uint32_t size = u32(m_file, at + 4);
        for (const Section& s : m_sections) {
            if (rva < s.address || rva - s.address >= s.rawSize)
                continue;
            const std::size_t offset = std::size_t(s.rawOffset) + (rva - s.address);
            // Within the section's bytes and within the file.
            if (size > s.rawSize - (rva - s.address) || !has(m_file, offset, size) || size == 0)
                return std::nullopt;
            return Span{offset, size};
        }
        return std::nullopt;
    }

    Bytes m_file;
    std::vector<Section> m_sections;
    std::size_t m_root;
    std::unordered_set<std::size_t> m_seen;
};

Resources readPe(Bytes file, std::size_t pe)
{
    Resources r;
    // The file header: machine, section count, three fields, the optional header's size.
    if (!has(file, pe, 20))
        return r;
    const std::size_t sectionCount = u16(file, pe + 2);
    const std::size_t optionalSize = u16(file, pe + 16);
    const std::size_t optional = pe + 20;
    if (!has(file, optional, 2))
        return r;
    const std::uint16_t magic = u16(file, optional);
    std::size_t countAt = 0;
    if (magic == 0x10B)
        countAt = 92;
    else if (magic == 0x20B)
        countAt = 108;
    else
        return r;
    // The resource directory is the third of the data directories.
    if (optionalSize < countAt + 4 + 3 * 8 || !has(file, optional, optionalSize))
        return r;
    if (u32(file, optional + countAt) < 3)
        return r;
    const std::size_t dir = optional + countAt + 4 + 2 * 8;
    const std::uint32_t resourceRva = u32(file, dir);
    if (resourceRva == 0)
        return r;

    const std::size_t table = optional + optionalSize;
    if (!has(file, table, sectionCount * 40))
        return r;
    std::vector<Section> sections;
    sections.reserve(sectionCount);
    std::optional<std::size_t> root;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t s = table + i * 40;
        Section section{u32(file, s + 12), u32(file, s + 16), u32(file, s + 20)};
        // Raw data inside the headers or past the end is not data.
        if (section.rawOffset < table + sectionCount * 40 || !has(file, section.rawOffset, 0))
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
    PeReader(file, std::move(sections), *root).read(r);
    sortPictures(r);
    return r;
}

// ---- NE ----

Resources readNe(Bytes file, std::size_t ne)
{
    Resources r;
    if (!has(file, ne, 0x40))
        return r;
    const std::size_t table = ne + u16(file, ne + 0x24);
    const std::size_t tableEnd = ne + u16(file, ne + 0x26); // the resident names follow it
    if (u16(file, ne + 0x24) == u16(file, ne + 0x26) || !has(file, table, 2))
        return r;
    r.format = Format::Ne;
    const unsigned shift = u16(file, table);
    if (shift > 16)
        return r;
    const std::size_t end = tableEnd > table ? std::min(tableEnd, file.size()) : file.size();
    // Resource data lies after the tables, never inside them or the headers.
    const std::size_t dataStart = std::max(end, table + 2);
    std::size_t at = table + 2;
    // Each type: its number, how many resources, 4 reserved bytes, then 12 bytes each.
    while (at + 2 <= end) {
        const std::uint16_t type = u16(file, at);
        if (type == 0 || at + 8 > end)
            break;
        const std::size_t count = u16(file, at + 2);
        at += 8;
        if (count > (end - at) / 12)
            break;
        for (std::size_t i = 0; i < count; ++i, at += 12) {
            if (type != (0x8000 | RtIcon) && type != (0x8000 | RtGroupIcon))
                continue;
            const std::size_t offset = std::size_t(u16(file, at)) << shift;
            std::size_t size = std::size_t(u16(file, at + 2)) << shift;
            const std::uint16_t id = u16(file, at + 6);
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

Resources readResources(std::span<const std::uint8_t> file)
{
    if (!has(file, 0, 0x40) || file[0] != 'M' || file[1] != 'Z')
        return {};
    const std::size_t next = u32(file, 0x3C);
    if (next < 0x40 || !has(file, next, 4))
        return {};
    if (file[next] == 'P' && file[next + 1] == 'E' && file[next + 2] == 0 && file[next + 3] == 0)
        return readPe(file, next + 4);
    if (file[next] == 'N' && file[next + 1] == 'E')
        return readNe(file, next);
    return {};
}

std::vector<ico::Entry> groupEntries(std::span<const std::uint8_t> file, const Resources& resources,
                                     std::size_t group)
{
    std::vector<ico::Entry> entries;
    if (group >= resources.groups.size())
        return entries;
    const Span g = resources.groups[group];
    const Bytes dir = file.subspan(g.offset, g.size);
    if (dir.size() < GroupHeader || u16(dir, 0) != 0 || u16(dir, 2) != 1)
        return entries;
    const std::size_t count = std::min<std::size_t>(u16(dir, 4), (dir.size() - GroupHeader) / GroupEntry);
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = GroupHeader + i * GroupEntry;
        std::uint32_t id = u16(dir, at + 12);
        if (resources.format == Format::Ne)
            id &= 0x7FFF;
        const auto it = std::lower_bound(resources.pictures.begin(), resources.pictures.end(), id,
                                         [](const auto& p, std::uint32_t v) { return p.first < v; });
        if (it == resources.pictures.end() || it->first != id)
            continue;
        ico::Entry e;
        e.width = dir[at] == 0 ? 256 : dir[at];
        e.height = dir[at + 1] == 0 ? 256 : dir[at + 1];
        e.bitCount = u16(dir, at + 6);
        e.offset = it->second.offset;
        e.size = it->second.size;
        e.png = ico::isPng(file.subspan(e.offset, e.size));
        if (!e.png && e.size < InfoHeaderMin)
            continue;
        entries.push_back(e);
    }
    return entries;
}

} // namespace exe
