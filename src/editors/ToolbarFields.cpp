#include "editors/ToolbarFields.h"

#include "platform/LosslessText.h"
#include "store/Numbers.h"
#include "store/Paths.h"
#include "store/ToolbarSet.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool endsWithExtension(const std::string& path)
{
    const std::string ext = ToolbarExtension;
    return path.size() >= ext.size() && path.compare(path.size() - ext.size(), ext.size(), ext) == 0;
}

// One spelling per file, so that two ways of naming the same file are seen as one.
QString sameFileKey(const std::string& path, const std::string& dataFolder)
{
    const QString p = QString::fromLocal8Bit(path);
    const QFileInfo info(QDir(QString::fromLocal8Bit(dataFolder)), p);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

// A toolbar's name as a file name in the data folder: a separator in the name would
// make it a path, and "../x" would put the file beside the data folder.
std::string fileNameFor(const std::string& name)
{
    std::string file = name;
    for (char& c : file)
        if (c == '/' || c == '\\')
            c = '_';
    return file;
}

} // namespace

std::string composeToolbarPath(const std::string& typed, const std::string& name, const std::string& dataFolder)
{
    if (textFromBytes(typed).trimmed().isEmpty())
        return joinPath(dataFolder, fileNameFor(name) + ToolbarExtension);
    std::string path = endsWithExtension(typed) ? typed : typed + ToolbarExtension;
    if (!isAbsolutePath(path))
        path = joinPath(dataFolder, path);
    return path;
}

std::optional<std::int16_t> toolbarIconIndex(const QString& typed)
{
    const std::optional<std::int16_t> v = roundToInt16(leadingNumber(typed.toLocal8Bit().toStdString()));
    if (!v || *v < 0)
        return std::nullopt;
    return v;
}

std::optional<QString> forbiddenCharacter(const QString& field, const std::string& text)
{
    for (const char c : text) {
        switch (c) {
        case ';':
            return QStringLiteral("The field \"%1\" cannot hold the character \";\": the files use it to "
                                  "separate their fields.").arg(field);
        case '\r':
        case '\n':
            return QStringLiteral("The field \"%1\" cannot hold a line break: each record of the files "
                                  "is one line.").arg(field);
        case '\0':
            return QStringLiteral("The field \"%1\" cannot hold a NUL character.").arg(field);
        default:
            break;
        }
    }
    return std::nullopt;
}

std::optional<QString> toolbarRefusal(const ToolbarFields& fields, const ToolbarSet& set,
                                      std::optional<std::uint8_t> editing, const std::string& dataFolder)
{
    const std::pair<const char*, const std::string*> texts[] = {
        {"Name", &fields.Name}, {"Path", &fields.Path}, {"Icon", &fields.IconFile}};
    for (const auto& [caption, text] : texts)
        if (std::optional<QString> why = forbiddenCharacter(QString::fromLatin1(caption), *text))
            return why;
    if (editing)
        return std::nullopt; // the path of an existing toolbar stays as it is

    if (set.count() >= MaxToolbars)
        return QStringLiteral("The set already holds %1 toolbars, as many as it can hold. Delete a toolbar "
                              "before adding another.").arg(MaxToolbars);
    // By the path's bytes: a folder whose name is not UTF-8 is there all the same.
    const QString file = textFromBytes(fields.Path);
    const std::string folder = PathFolder(fields.Path);
    if (!factsOfPath(textFromBytes(folder.empty() ? std::string(".") : folder)).folder)
        return QStringLiteral("The folder of the toolbar file does not exist:\n%1").arg(textFromBytes(folder));
    if (factsOfPath(file).folder)
        return QStringLiteral("The toolbar file is a folder:\n%1").arg(file);
    const QString key = sameFileKey(fields.Path, dataFolder);
    for (int i = 0; i < set.count() && i < static_cast<int>(set.Tbrs.size()); ++i) {
        if (sameFileKey(set.Tbrs[i].Path, dataFolder) == key)
            return QStringLiteral("The toolbar \"%1\" already uses this file:\n%2")
                .arg(textFromBytes(set.Tbrs[i].Name), file);
    }
    return std::nullopt;
}
