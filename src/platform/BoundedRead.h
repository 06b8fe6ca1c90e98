#pragma once

#include <QByteArray>
#include <QString>

// The bytes of a regular file of at most limit bytes; an empty array for anything else
// (missing, a folder, a device or pipe that could block, too large, grown while read).
// Never hangs. The room is not cleared before the read writes it: for the caches' files
// of a megabyte, clearing would cost as much as reading.
QByteArray readBounded(const QString& path, qint64 limit);
