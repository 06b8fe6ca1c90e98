#pragma once

#include "platform/IconSource.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

// Serves fixed pictures per (file, index) and counts how often it was asked.
class FakeIconSource final : public IconSource {
public:
    // Gives file the pictures in order (index 0 first).
    void serve(const std::string& file, std::vector<QImage> images) { m_files[file] = std::move(images); }
    // A plain 16x16 picture of one colour, easy to tell apart in a test.
    static QImage solid(QRgb colour)
    {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(colour);
        return image;
    }

    int count(const std::string& file) override
    {
        ++countCalls;
        const auto it = m_files.find(file);
        return it == m_files.end() ? 0 : static_cast<int>(it->second.size());
    }

    QImage draw(const std::string& file, int index0) override
    {
        ++drawCalls;
        drawn.emplace_back(file, index0);
        const auto it = m_files.find(file);
        if (it == m_files.end() || index0 < 0 || index0 >= static_cast<int>(it->second.size()))
            return {};
        return it->second[static_cast<std::size_t>(index0)];
    }

    int countCalls = 0;
    int drawCalls = 0;
    std::vector<std::pair<std::string, int>> drawn;

private:
    std::map<std::string, std::vector<QImage>> m_files;
};
