#pragma once

#include "platform/IcoParser.h"
#include "platform/IconReader.h"

#include <span>
#include <vector>

// Icon files (.ico). An icon file holds one icon in several sizes and depths; it is
// offered as one icon, drawn from the picture that best suits 16x16.
class IcoReader final : public IconReader {
public:
    bool recognises(const QByteArray& head) const override;
    bool handlesSuffix(const QString& suffix) const override;
    int count(const QString& path) const override;
    QImage draw(const QString& path, int index0, int side = iconfile::Side) const override;
    bool singleIcon() const override { return true; }

    // The icon out of the file's bytes; a null image when none of its pictures reads.
    static QImage decode(const QByteArray& file, int side = iconfile::Side);
    // The best-suited of entries (offsets into bytes) that decodes, fitted to side; the
    // pictures of icon files and of programs' icon groups alike.
    static QImage decodeBest(std::span<const std::uint8_t> bytes, const std::vector<ico::Entry>& entries,
                             int side = iconfile::Side);
};
