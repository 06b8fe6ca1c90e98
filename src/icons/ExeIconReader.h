#pragma once

#include "icons/IconReader.h"

// Windows programs and libraries, PE and NE alike (.exe, .dll, .icl, .cpl, .ocx, and the
// 16-bit icon libraries): one icon per icon group, drawn from the group's picture that
// best suits the size asked for. The file is read piece by piece, never whole: counting
// reads only its headers and resource directory, drawing one icon only that icon's
// pictures besides. A file cut short meanwhile gives no icon, never a crash.
class ExeIconReader final : public IconReader {
public:
    bool recognises(const QByteArray& head) const override;
    bool handlesSuffix(const QString& suffix) const override;
    int count(const QString& path) const override;
    QImage draw(const QString& path, int index0, int side = iconfile::Side) const override;
};
