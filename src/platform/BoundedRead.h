#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

// The bytes of a regular file of at most limit bytes; an empty array for anything else
// (missing, a folder, a device or pipe that could block, too large, grown while read).
// Never hangs. The room is not cleared before the read writes it: for the caches' files
// of a megabyte, clearing would cost as much as reading.
QByteArray readBounded(const QString& path, qint64 limit);

// Makes the whole pages inside size bytes at data present, in one call rather than one
// fault per page as they are first written: for fresh room of hundreds of kilobytes about
// to be filled. Nothing where the system cannot (the pages are then faulted in as before).
void makePresent(void* data, std::size_t size);
