#pragma once

#include "icons/IconReader.h"

#include <memory>

class IconTheme;

// A bare name that is no file ("firefox", "folder") is an icon theme's name: it shows
// that icon from the user's theme.
class ThemeIconReader final : public IconReader {
public:
    explicit ThemeIconReader(std::shared_ptr<const IconTheme> theme);
    bool recognises(const QByteArray&) const override { return false; }
    bool handlesSuffix(const QString&) const override { return false; }
    bool takesOther(const QString& path, bool folder) const override;
    int count(const QString& path) const override;
    QImage draw(const QString&, int, int) const override { return {}; }
    bool singleIcon() const override { return true; }
    bool refers() const override { return true; }
    std::optional<Reference> refer(const QString& path, int index0, int side) const override;

private:
    std::shared_ptr<const IconTheme> m_theme;
};
