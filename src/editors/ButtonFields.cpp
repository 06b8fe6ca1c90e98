#include "editors/ButtonFields.h"

#include "formats/DesktopEntryName.h"
#include "platform/LosslessText.h"
#include "store/Numbers.h"
#include "store/Paths.h"

#include <QDir>
#include <QStandardPaths>

namespace {

bool isRecall(const QString& target) { return target == QLatin1String(RecallMarker); }

// The file's title; an application entry's own name, as the menus show it, rather than
// the title of a file named like "org.gnome.Terminal.desktop".
QString proposedName(const QString& target)
{
    if (target.endsWith(QLatin1String(".desktop"))) {
        const QString name = textFromBytes(desktopEntryName(bytesFromText(target))).trimmed();
        if (!name.isEmpty())
            return name;
    }
    return textFromBytes(PathTitle(bytesFromText(target)));
}

// The characters the files' line structure cannot hold inside a field, by the name the
// message gives them.
struct Forbidden {
    QChar c;
    const char* name;
};
constexpr Forbidden ForbiddenChars[] = {
    {QChar(';'), "\";\""},
    {QChar('\r'), "line break"},
    {QChar('\n'), "line break"},
    {QChar('\0'), "NUL character"},
};

} // namespace

ButtonFields ButtonFields::fromButton(const BtnRec& b)
{
    ButtonFields f;
    if (b.Kind == KindSeparator)
        return f;
    f[Name] = textFromBytes(b.Name);
    f[Executable] = textFromBytes(b.Executable);
    f[Parameters] = textFromBytes(b.Parameters);
    f[IconFile] = textFromBytes(b.IconFile);
    f[IconIndex] = QString::number(b.IconIndex);
    return f;
}

QString fieldCaption(ButtonFields::Field f)
{
    switch (f) {
    case ButtonFields::Name:
        return QStringLiteral("Name");
    case ButtonFields::Executable:
        return QStringLiteral("Executable");
    case ButtonFields::Parameters:
        return QStringLiteral("Parameters");
    case ButtonFields::IconFile:
        return QStringLiteral("Icon file");
    case ButtonFields::IconIndex:
    case ButtonFields::FieldCount:
        break;
    }
    return QStringLiteral("Icon index");
}

std::uint8_t TargetKind(const QString& target)
{
    if (target.isEmpty() || isRecall(target))
        return KindFile;
    return factsOfPath(target).folder ? KindFolder : KindFile;
}

bool isProgramTarget(const QString& target)
{
    const QString trimmed = target.trimmed();
    if (trimmed.isEmpty() || isRecall(target))
        return false;
    if (target.right(4).toLower() == QLatin1String(".exe"))
        return true;
    // By the name's bytes: a name that is not UTF-8 is a file all the same.
    const PathFacts facts = factsOfPath(target);
    if (facts.folder)
        return false;
    if (target.endsWith(QLatin1String(".desktop")) && facts.file)
        return true;
    if (facts.executable)
        return true;
    // A bare name is what the launcher looks up on the search path.
    if (!target.contains(QDir::separator()) && !target.contains(QLatin1Char('/')))
        return !QStandardPaths::findExecutable(target).isEmpty();
    return false;
}

bool okAllowed(const ButtonFields& f, bool separator)
{
    return separator || (!f[ButtonFields::Name].isEmpty() && !f[ButtonFields::Executable].isEmpty());
}

bool completeFromTarget(ButtonFields& f)
{
    bool changed = false;
    const QString& target = f[ButtonFields::Executable];
    if (f[ButtonFields::Name].trimmed().isEmpty()) {
        const QString name = proposedName(target);
        changed = name != f[ButtonFields::Name];
        f[ButtonFields::Name] = name;
    }
    if (f[ButtonFields::IconFile].trimmed().isEmpty() && isProgramTarget(target)) {
        f[ButtonFields::IconFile] = target;
        f[ButtonFields::IconIndex] = QStringLiteral("1");
        changed = true;
    }
    return changed;
}

void takeChosenTarget(ButtonFields& f, const QString& path)
{
    f[ButtonFields::Executable] = path;
    if (f[ButtonFields::Name].trimmed().isEmpty())
        f[ButtonFields::Name] = proposedName(path);
    if (isProgramTarget(path)) {
        f[ButtonFields::IconFile] = path;
        f[ButtonFields::IconIndex] = QStringLiteral("1");
    }
}

void takeChosenFolder(ButtonFields& f, const QString& path)
{
    f[ButtonFields::Executable] = path;
    if (!f[ButtonFields::Name].trimmed().isEmpty())
        return;
    // By the bytes, so a name that is not UTF-8 comes through as it is; the root has no
    // name but its path.
    std::string folder = bytesFromText(path);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    const std::size_t last = folder.find_last_of('/');
    const std::string name = last == std::string::npos || folder.size() == 1 ? folder : folder.substr(last + 1);
    f[ButtonFields::Name] = textFromBytes(name);
}

ButtonOutcome makeButton(const ButtonFields& f, bool separator)
{
    // A separator's texts mean nothing and are not stored, so what its disabled boxes
    // still hold can neither be refused nor end up in the file unseen.
    if (separator) {
        BtnRec b;
        b.Kind = KindSeparator;
        return {b, {}};
    }
    for (int i = 0; i < ButtonFields::FieldCount; ++i) {
        const auto field = static_cast<ButtonFields::Field>(i);
        for (const Forbidden& bad : ForbiddenChars) {
            if (f[field].contains(bad.c))
                return {std::nullopt,
                        QStringLiteral("The field \"%1\" holds a %2, which a toolbar file cannot keep "
                                       "inside a field.\r\nPlease remove it.")
                            .arg(fieldCaption(field), QLatin1String(bad.name))};
        }
    }

    // Empty, 0 or text that is no number: no icon. Otherwise a 1-based index that fits
    // the record's 16 bits.
    std::int16_t index = 0;
    const double value = leadingNumber(bytesFromText(f[ButtonFields::IconIndex]));
    const std::optional<std::int16_t> rounded = roundToInt16(value);
    if (!rounded || *rounded < 0)
        return {std::nullopt, QStringLiteral("The field \"%1\" must hold a number from 1 to 32767, or 0 "
                                             "or nothing for no icon.")
                                  .arg(fieldCaption(ButtonFields::IconIndex))};
    index = *rounded;

    BtnRec b;
    b.Name = bytesFromText(f[ButtonFields::Name]);
    b.Executable = bytesFromText(f[ButtonFields::Executable]);
    b.Parameters = bytesFromText(f[ButtonFields::Parameters]);
    b.IconFile = bytesFromText(f[ButtonFields::IconFile]);
    b.IconIndex = index;
    b.Kind = TargetKind(f[ButtonFields::Executable]);
    return {b, {}};
}
