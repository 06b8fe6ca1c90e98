#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

// Splits bytes into lines ending at CR LF, LF alone or CR alone. The text after the last
// line end is a line of its own when it is not empty. One pass, no copies.
class LineReader {
public:
    explicit LineReader(std::string_view bytes)
        : m_bytes(bytes), m_nextLf(find('\n', 0)), m_nextCr(find('\r', 0))
    {
    }

    bool atEnd() const { return m_pos >= m_bytes.size(); }

    // The next line without its end; false at the end of the bytes.
    bool next(std::string_view& line)
    {
        if (atEnd())
            return false;
        // The next LF and the next CR are each looked for with memchr and remembered until
        // the reader passes them, so every byte is searched at most once for each, whatever
        // the files use as line ends (searching for both characters at once costs a call per
        // byte).
        if (m_nextLf < m_pos)
            m_nextLf = find('\n', m_pos);
        if (m_nextCr < m_pos)
            m_nextCr = find('\r', m_pos);
        const std::size_t end = m_nextLf < m_nextCr ? m_nextLf : m_nextCr;
        line = m_bytes.substr(m_pos, end - m_pos);
        if (end == m_bytes.size()) {
            m_pos = end;
            return true;
        }
        m_pos = end + 1;
        if (end == m_nextCr && m_pos < m_bytes.size() && m_bytes[m_pos] == '\n')
            ++m_pos;
        return true;
    }

private:
    // Index of the first c at or after from; the size of the bytes when there is none.
    std::size_t find(char c, std::size_t from) const
    {
        if (from >= m_bytes.size())
            return m_bytes.size();
        const void* hit = std::memchr(m_bytes.data() + from, c, m_bytes.size() - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - m_bytes.data()) : m_bytes.size();
    }

    std::string_view m_bytes;
    std::size_t m_pos{0};
    std::size_t m_nextLf; // the first LF at or after the last search; size() when none
    std::size_t m_nextCr;
};
