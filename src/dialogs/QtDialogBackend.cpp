#include "dialogs/QtDialogBackend.h"

#include "dialogs/PrinterModule.h"

#include "platform/Log.h"
#include "platform/Shell.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QCoreApplication>
#include <QLibrary>
#include <QUrl>

namespace {

// The dialog library's code for a dialog that could not be set up (PDERR_INITFAILURE).
constexpr std::uint32_t PrinterInitFailure = 0x1006;

} // namespace

QStringList printerModuleFolders()
{
    const QString here = QCoreApplication::applicationDirPath();
    return {here, here + QStringLiteral("/../lib/vyrelight")};
}

PrinterDialogEntry loadPrinterDialog(const QStringList& folders)
{
    for (const QString& folder : folders) {
        QLibrary module(folder + QLatin1Char('/') + QLatin1String(PrinterModuleFile));
        // Kept loaded once found: the entry is called for as long as the program runs.
        if (auto entry = reinterpret_cast<PrinterDialogEntry>(module.resolve(PrinterDialogEntryName)))
            return entry;
    }
    return nullptr;
}

QtDialogBackend::QtDialogBackend(Shell& shell)
    : m_shell(shell)
{
}

DialogBackend::Choice<QString> QtDialogBackend::chooseFile(const FileRequest& request)
{
    QFileDialog dialog(request.owner, request.title, request.folder);
    if (request.mode == FileRequest::Mode::Folder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return {dialog.selectedFiles().constFirst()};
    }
    const bool open = request.mode == FileRequest::Mode::Open;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!open && !(request.flags & OverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.nameFilters.isEmpty()) {
        dialog.setNameFilters(request.nameFilters);
        if (request.filterIndex >= 0 && request.filterIndex < request.nameFilters.size())
            dialog.selectNameFilter(request.nameFilters[request.filterIndex]);
    }
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    const QString proposed = request.file.trimmed();
    if (!proposed.isEmpty()) {
        // A proposed path opens the dialog in its folder unless a folder was asked for.
        const QFileInfo info(proposed);
        if (request.folder.isEmpty() && info.isAbsolute())
            dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().constFirst()};
}

DialogBackend::Choice<QColor> QtDialogBackend::chooseColor(QWidget* owner, QColor initial, std::uint32_t flags)
{
    // Qt's colour dialog always shows its custom colours: no flag changes it.
    Q_UNUSED(flags);
    QColorDialog dialog(initial, owner);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {dialog.selectedColor()};
}

DialogBackend::Choice<QFont> QtDialogBackend::chooseFont(QWidget* owner, const QFont& initial)
{
    QFontDialog dialog(initial, owner);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {dialog.selectedFont()};
}

DialogBackend::Choice<DialogBackend::PrintRange> QtDialogBackend::choosePrinter(QWidget* owner,
                                                                                 const PrintRange& initial,
                                                                                 std::uint32_t flags)
{
    static const PrinterDialogEntry entry = loadPrinterDialog(printerModuleFolders());
    if (!entry) {
        qCWarning(lcVyre).noquote() << "the printer dialog cannot be shown:" << QLatin1String(PrinterModuleFile)
                                    << "was found neither in" << printerModuleFolders().join(QLatin1String(" nor in "));
        return {std::nullopt, PrinterInitFailure};
    }
    PrintRange chosen;
    if (!entry(owner, &initial, flags, &chosen))
        return {};
    return {chosen};
}

bool QtDialogBackend::showHelp(const QString& file, std::uint32_t command)
{
    if (file.trimmed().isEmpty())
        return false;
    // The help engine's commands (contents, a topic, quit) have no counterpart: the file
    // is opened as a whole.
    Q_UNUSED(command);
    const Result<void> opened = m_shell.openLink(QUrl::fromLocalFile(file).toString());
    if (!opened)
        qCWarning(lcVyre, "help file %s not opened: %s", qPrintable(file), opened.reason().c_str());
    return opened.ok();
}
