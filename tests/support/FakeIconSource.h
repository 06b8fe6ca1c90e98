#pragma once

#include "platform/IconSource.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

// Serves fixed pictures per (file, index).
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

    // Gives target a picture of what it is, for buttons without an icon.
    void serveTarget(const std::string& target, QImage image) { m_targets[target] = std::move(image); }

    // The icon names the theme list offers.
    void serveThemeNames(QStringList names) { m_themeNames = std::move(names); }

    int count(const std::string& file) override { return int(m_files[file].size()); }
    QImage draw(const std::string& file, int index0, int = 16) override
    {
        const std::vector<QImage>& p = m_files[file];
        return index0 < 0 || index0 >= int(p.size()) ? QImage() : p[std::size_t(index0)];
    }

    QImage drawTarget(const std::string& target, int = 16) override
    {
        const auto it = m_targets.find(target);
        return it == m_targets.end() ? QImage() : it->second;
    }

    QStringList themeNames() override { return m_themeNames; }

private:
    std::map<std::string, std::vector<QImage>> m_files;
    std::map<std::string, QImage> m_targets;
    QStringList m_themeNames;
};
