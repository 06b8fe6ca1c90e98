#pragma once

#include "platform/DialogBackend.h"

class Shell;

// The dialogs of Qt: QFileDialog (for files and folders), QColorDialog, QFontDialog and QPrintDialog, each run
// modally over its owner. A help file is opened by the desktop's handler for its type.
class QtDialogBackend final : public DialogBackend {
public:
    explicit QtDialogBackend(Shell& shell);

    Choice<QString> chooseFile(const FileRequest& request) override;
    Choice<QColor> chooseColor(QWidget* owner, QColor initial, std::uint32_t flags) override;
    Choice<QFont> chooseFont(QWidget* owner, const QFont& initial) override;
    Choice<PrintRange> choosePrinter(QWidget* owner, const PrintRange& initial, std::uint32_t flags) override;
    bool showHelp(const QString& file, std::uint32_t command) override;

private:
    Shell& m_shell;
};
