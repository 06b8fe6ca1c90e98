#pragma once

#include <QString>
#include <QStringList>

// Where the icon of a button's target comes from when the button names none, best first:
// the target's own icon (a program, an application entry), or icon theme names for what
// it is (a folder, one of the user's special folders, a document's type, then that type's
// generic kind).
struct TargetIcon {
    bool own = false;        // the target's own icon, read from the target itself
    QString program;         // the file to read it from (a bare program name found on PATH)
    QStringList themeNames;  // otherwise, or after it: theme names to look up in order
};

// Decides what a target looks like without reading more than its first bytes; never
// blocks on a pipe or device put where a target was.
TargetIcon targetIcon(const QString& target);
