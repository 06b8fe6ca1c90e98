#pragma once

#include "icons/IconReader.h"

#include <memory>

class IconTheme;

// A .desktop entry shows the icon its Icon= key names: a picture's path, or an icon
// theme's name looked up in the user's theme.
class DesktopIconReader final : public IconReader {
public:
    explicit DesktopIconReader(std::shared_ptr<const IconTheme> theme);
    bool recognises(const QByteArray& head) const override;
    bool handlesSuffix(const QString& suffix) const override;
    int count(const QString& path) const override;
    QImage draw(const QString&, int, int) const override { return {}; }
    bool singleIcon() const override { return true; }
    bool refers() const override { return true; }
    std::optional<Reference> refer(const QString& path, int index0, int side) const override;

    // The file of the icon an entry's Icon= value names; empty when it names none.
    static QString iconFile(const QByteArray& entry, const IconTheme& theme, int side);

private:
    std::shared_ptr<const IconTheme> m_theme;
};
