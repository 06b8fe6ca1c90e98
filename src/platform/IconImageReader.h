#pragma once

#include "platform/IconReader.h"

// A picture file used whole as one icon: PNG, JPEG, XPM, BMP and SVG, all through Qt's
// image readers (SVG by the "svg" image-format plugin, loaded only when one is drawn).
class IconImageReader final : public IconReader {
public:
    bool recognises(const QByteArray& head) const override;
    bool handlesSuffix(const QString& suffix) const override;
    int count(const QString& path) const override;
    QImage draw(const QString& path, int index0, int side = iconfile::Side) const override;
    bool singleIcon() const override { return true; }

    // The icon out of the file's bytes (format found from the content); null when none.
    static QImage decode(const QByteArray& file, int side = iconfile::Side);
};
