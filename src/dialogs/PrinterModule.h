#pragma once

#include "platform/DialogBackend.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// The printer dialog is Qt's, from its printing library, which nothing else in the program
// needs: linked to the program, that library would be loaded and bound at every start
// (about 1.2 M instructions, a twentieth of a bare Qt program's start) for a dialog that
// is seldom if ever shown. It lives in a module of its own, libvyre_printer.so, loaded the
// first time the dialog is asked for.

// The module's one entry: runs the dialog over owner, starting from initial; true, with
// chosen filled in, when the user printed, false after a cancel. The name carries the
// version of this contract, so a module of another build is not called the wrong way.
using PrinterDialogEntry = bool (*)(QWidget* owner, const DialogBackend::PrintRange* initial, std::uint32_t flags,
                                    DialogBackend::PrintRange* chosen);
inline constexpr const char* PrinterDialogEntryName = "vyre_choose_printer_v1";
inline constexpr const char* PrinterModuleFile = "libvyre_printer.so";

// Where the module is looked for: beside the program (the build tree), then in
// ../lib/vyrelight from it (an installed program).
QStringList printerModuleFolders();
// The entry of the first module found in folders that has one; null when none has.
PrinterDialogEntry loadPrinterDialog(const QStringList& folders);
