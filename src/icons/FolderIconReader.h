#pragma once

#include "icons/IconReader.h"

#include <QStringList>

#include <cstdint>
#include <map>

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

    // How many times a folder was listed: once per folder while it stays as it was.
    int listings() const { return m_listings; }

private:
    // A folder's pictures, listed once and kept while the folder is unchanged: buttons
    // taking icons 1 to 40 of a folder of thousands of files list it once, not 40 times.
    const QStringList& cachedPictures(const QString& folder) const;

    struct Listing {
        std::int64_t device = -1, inode = -1, modified = -1, changed = -1;
        QStringList names;
    };
    mutable std::map<QString, Listing> m_cache;
    mutable int m_listings = 0;
};
