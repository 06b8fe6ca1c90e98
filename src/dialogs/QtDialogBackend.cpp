#include "dialogs/QtDialogBackend.h"

#include "platform/Log.h"
#include "platform/Shell.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

namespace {

// The print flags the caller sets to offer a page range and a selection, or not.
constexpr std::uint32_t PrintPageNums = 0x2;
constexpr std::uint32_t PrintNoPageNums = 0x8;
constexpr std::uint32_t PrintNoSelection = 0x4;

} // namespace

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
    QPrinter printer;
    if (initial.copies > 0)
        printer.setCopyCount(initial.copies);
    QPrintDialog dialog(&printer, owner);
    if (initial.minPage > 0 || initial.maxPage > 0)
        dialog.setMinMax(initial.minPage, initial.maxPage);
    QAbstractPrintDialog::PrintDialogOptions options = dialog.options();
    options.setFlag(QAbstractPrintDialog::PrintPageRange, !(flags & PrintNoPageNums));
    options.setFlag(QAbstractPrintDialog::PrintSelection, !(flags & PrintNoSelection));
    dialog.setOptions(options);
    if ((flags & PrintPageNums) && initial.fromPage > 0) {
        dialog.setPrintRange(QAbstractPrintDialog::PageRange);
        printer.setFromTo(initial.fromPage, initial.toPage);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    PrintRange out = initial;
    out.fromPage = printer.fromPage();
    out.toPage = printer.toPage();
    out.minPage = dialog.minPage();
    out.maxPage = dialog.maxPage();
    out.copies = printer.copyCount();
    return {out};
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
