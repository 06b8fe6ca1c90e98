#pragma once

#include "icons/IconReader.h"

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

    // Why a picture's bytes are not handed to a decoder at all: an SVG that would make
    // the renderer open other files (a pipe there blocks it for good), a JPEG whose scans
    // would cost far more than its picture is worth. Empty when nothing is wrong.
    static QString refusal(const QByteArray& file);

    // The scans a JPEG may have, and its scans times its pixels: a progressive picture
    // has about ten, and each scan costs a pass over the whole picture.
    static constexpr int MaxJpegScans = 64;
    static constexpr qint64 MaxJpegScanPixels = qint64(1) << 28;
};
