#pragma once

#include <cstddef>
#include <string_view>

// Splits bytes into lines ending at CR LF, LF alone or CR alone. The text after the last
// line end is a line of its own when it is not empty. One pass, no copies.
class LineReader {
public:
    explicit LineReader(std::string_view bytes) : m_bytes(bytes) { }

    bool atEnd() const { return m_pos >= m_bytes.size(); }

    // The next line without its end; false at the end of the bytes.
    bool next(std::string_view& line)
    {
        if (atEnd())
            return false;
        std::size_t end = m_bytes.find_first_of("\r\n", m_pos);
        if (end == std::string_view::npos) {
            line = m_bytes.substr(m_pos);
            m_pos = m_bytes.size();
            return true;
        }
        line = m_bytes.substr(m_pos, end - m_pos);
        m_pos = end + 1;
        if (m_bytes[end] == '\r' && m_pos < m_bytes.size() && m_bytes[m_pos] == '\n')
            ++m_pos;
        return true;
    }

private:
    std::string_view m_bytes;
    std::size_t m_pos{0};
};
