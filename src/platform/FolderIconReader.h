#pragma once

#include "platform/IconReader.h"

#include <QStringList>

// A folder of pictures is a file of icons: every picture file directly inside it, in
// name order, is one icon.
class FolderIconReader final : public IconReader {
public:
    bool recognises(const QByteArray&) const override { return false; }
    bool handlesSuffix(const QString&) const override { return false; }
    bool takesOther(const QString& path, bool folder) const override;
    int count(const QString& path) const override;
    QImage draw(const QString&, int, int) const override { return {}; }
    bool refers() const override { return true; }
    std::optional<Reference> refer(const QString& path, int index0, int side) const override;

    // The picture files of the folder, in name order.
    static QStringList pictures(const QString& folder);
};
