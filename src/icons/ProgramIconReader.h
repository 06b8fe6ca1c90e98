#pragma once

#include "icons/IconReader.h"

#include <QHash>
#include <QString>

#include <memory>

class IconTheme;

// A program the kernel runs (an ELF binary, or a script starting with "#!") shows the
// icon of the .desktop entry that starts it, else the theme icon of its file name, else
// none. The installed entries are read once, on the first program asked about.
class ProgramIconReader final : public IconReader {
public:
    explicit ProgramIconReader(std::shared_ptr<const IconTheme> theme);
    bool recognises(const QByteArray& head) const override;
    bool handlesSuffix(const QString&) const override { return false; }
    int count(const QString& path) const override;
    QImage draw(const QString&, int, int) const override { return {}; }
    bool singleIcon() const override { return true; }
    bool refers() const override { return true; }
    std::optional<Reference> refer(const QString& path, int index0, int side) const override;

private:
    void readEntries() const;
    QString entryFor(const QString& program) const;

    std::shared_ptr<const IconTheme> m_theme;
    mutable bool m_read = false;
    // Entries by the program their Exec or TryExec line starts: by whole path, and by
    // bare name for those that leave it to PATH.
    mutable QHash<QString, QString> m_byPath;
    mutable QHash<QString, QString> m_byName;
};
