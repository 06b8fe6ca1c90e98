// libvyre_printer.so: Qt's printer dialog, loaded by the program the first time it is
// asked for (see dialogs/PrinterModule.h).
#include "dialogs/PrinterModule.h"

#include <QPrintDialog>
#include <QPrinter>

namespace {

// The print flags the caller sets to offer a page range and a selection, or not.
constexpr std::uint32_t PrintPageNums = 0x2;
constexpr std::uint32_t PrintNoPageNums = 0x8;
constexpr std::uint32_t PrintNoSelection = 0x4;

} // namespace

extern "C" Q_DECL_EXPORT bool vyre_choose_printer_v1(QWidget* owner, const DialogBackend::PrintRange* initial,
                                                      std::uint32_t flags, DialogBackend::PrintRange* chosen)
{
    static_assert(std::is_same_v<decltype(&vyre_choose_printer_v1), PrinterDialogEntry>);
    QPrinter printer;
    if (initial->copies > 0)
        printer.setCopyCount(initial->copies);
    QPrintDialog dialog(&printer, owner);
    if (initial->minPage > 0 || initial->maxPage > 0)
        dialog.setMinMax(initial->minPage, initial->maxPage);
    QAbstractPrintDialog::PrintDialogOptions options = dialog.options();
    options.setFlag(QAbstractPrintDialog::PrintPageRange, !(flags & PrintNoPageNums));
    options.setFlag(QAbstractPrintDialog::PrintSelection, !(flags & PrintNoSelection));
    dialog.setOptions(options);
    if ((flags & PrintPageNums) && initial->fromPage > 0) {
        dialog.setPrintRange(QAbstractPrintDialog::PageRange);
        printer.setFromTo(initial->fromPage, initial->toPage);
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *chosen = *initial;
    chosen->fromPage = printer.fromPage();
    chosen->toPage = printer.toPage();
    chosen->minPage = dialog.minPage();
    chosen->maxPage = dialog.maxPage();
    chosen->copies = printer.copyCount();
    return true;
}
