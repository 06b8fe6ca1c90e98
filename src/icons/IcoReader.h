#pragma once

#include "formats/ByteSource.h"
#include "formats/IcoParser.h"
#include "icons/IconReader.h"

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
    // pictures of icon files and of programs' icon groups alike. A picture that failed is
    // not tried again under another entry, and after MaxFailures failures the rest are
    // given up: thousands of entries naming one damaged picture cost one decoding.
    // tried, when given, counts the pictures decoded.
    static QImage decodeBest(ByteSource& bytes, const std::vector<ico::Entry>& entries, int side = iconfile::Side,
                             int* tried = nullptr);

    // Pictures that fail to decode before an icon is given up.
    static constexpr int MaxFailures = 8;
    // Four times what a 256-px picture of 32 bits with its mask needs: a picture far
    // larger is no icon, and decoding it would only cost time.
    static constexpr std::size_t MaxPictureBytes = std::size_t(1) << 20;
};
