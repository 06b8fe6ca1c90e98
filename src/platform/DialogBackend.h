#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class QWidget;

// The system's common dialogs: open and save a file, choose a folder, a colour, a font
// or a printer, and show a help file. Each call runs its dialog to the end and returns what
// the user chose; a test hands in a backend that answers from a script, so no dialog
// ever waits for a person.
class DialogBackend {
public:
    // What a dialog ended with: a value when the user chose one; none after a cancel or
    // a failure, told apart by error (the dialog library's extended error code, 0 for a
    // plain cancel).
    template <class T>
    struct Choice {
        std::optional<T> value;
        std::uint32_t error{0};
    };

    struct FileRequest {
        // Folder: an existing folder, by the desktop's folder chooser; the filters, the
        // suffix and the flags mean nothing to it.
        enum class Mode { Open, Save, Folder };
        Mode mode{Mode::Open};
        QWidget* owner{nullptr};
        QString title;
        QString folder;           // where the dialog starts; empty: its own choice
        QString file;             // the name or path proposed
        QStringList nameFilters;  // Qt's form: "Text File (*.txt)"
        int filterIndex{0};       // 0-based into nameFilters
        QString defaultSuffix;    // without the point
        std::uint32_t flags{0};   // what the dialog must do besides (OverwritePrompt, ...)
    };
    static constexpr std::uint32_t OverwritePrompt = 0x2;

    struct PrintRange {
        int fromPage{0};
        int toPage{0};
        int minPage{0};
        int maxPage{0};
        int copies{0};
    };

    virtual ~DialogBackend() = default;

    // The full path of the file or folder chosen.
    virtual Choice<QString> chooseFile(const FileRequest& request) = 0;
    virtual Choice<QColor> chooseColor(QWidget* owner, QColor initial, std::uint32_t flags) = 0;
    virtual Choice<QFont> chooseFont(QWidget* owner, const QFont& initial) = 0;
    virtual Choice<PrintRange> choosePrinter(QWidget* owner, const PrintRange& initial, std::uint32_t flags) = 0;
    // Opens a help file with the desktop's handler for it; false when nothing could.
    virtual bool showHelp(const QString& file, std::uint32_t command) = 0;
};
