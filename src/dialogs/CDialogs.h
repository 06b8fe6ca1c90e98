#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <exception>
#include <string>

class DialogBackend;
class QObject;
class QWidget;

// Cancelling the colour, font or printer dialog while cancelError() is set: the caller
// learns of it as this error, with its number and description.
class DialogCancelled : public std::exception {
public:
    DialogCancelled(std::int32_t number, QString description);
    std::int32_t number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    std::int32_t m_number;
    QString m_description;
    std::string m_what;
};

// The common dialogs behind one object, in the manner of a dialog control: set the
// properties, call one show operation, read the results back from the same properties.
// The accessors store and return their value and do nothing else.
//
// A file dialog that was cancelled or failed leaves filename() and fileTitle() as they
// were, which is how callers tell it. Apart from the cancel errors a show operation
// never fails to its caller: a value that does not fit the dialog ends it quietly.
class CDialogs {
public:
    static constexpr std::int32_t ColorCancelNumber = -2147220610;
    static constexpr std::int32_t CancelNumber = 2001;
    // The one flag value the font dialog runs with and leaves behind.
    static constexpr std::int32_t FontFlags = 67;
    // The dialog library's extended error for a chosen path longer than maxFileSize allows.
    static constexpr std::int32_t BufferTooSmall = 0x3003;

    // Which dialog ran last.
    enum Action : std::int16_t { None = 0, Color = 3, Font = 4, Printer = 5, Help = 6 };

    // owner: the window the dialogs are modal over (none: the application).
    explicit CDialogs(DialogBackend& backend, QWidget* owner = nullptr);

    void showOpen();
    void showSave();
    // An existing folder, starting in initDir(); its path goes to filename(), its own
    // name to fileTitle() (empty for the root, so apiReturn() tells a choice apart).
    void showFolder();
    void showColor();
    void showFont();
    void showPrinter();
    void showHelp();

    // "Text File (TXT)|*.txt|All Files|*.*": description and pattern list, pair after
    // pair, become Qt's name filters "Text File (TXT) (*.txt)", "All Files (*)". A
    // pattern list separates patterns by ";"; "*.*" stands for every file, with or
    // without a point in its name. A description left without patterns is dropped.
    static QStringList nameFilters(const QString& filter);

    std::int16_t action() const { return m_action; }
    std::int32_t apiReturn() const { return m_apiReturn; }
    std::int32_t extendedError() const { return m_extendedError; }

    bool cancelError() const { return m_cancelError; }
    void setCancelError(bool on) { m_cancelError = on; }
    // A colour as 0x00BBGGRR: red in the lowest byte.
    std::int32_t color() const { return m_color; }
    void setColor(std::int32_t c) { m_color = c; }
    std::int32_t copies() const { return m_copies; }
    void setCopies(std::int32_t n) { m_copies = n; }
    const QString& defaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString& ext) { m_defaultExt = ext; }
    const QString& dialogTitle() const { return m_dialogTitle; }
    void setDialogTitle(const QString& title) { m_dialogTitle = title; }
    const QString& filename() const { return m_filename; }
    void setFilename(const QString& name) { m_filename = name; }
    const QString& fileTitle() const { return m_fileTitle; }
    void setFileTitle(const QString& title) { m_fileTitle = title; }
    const QString& filter() const { return m_filter; }
    void setFilter(const QString& filter) { m_filter = filter; }
    std::int16_t filterIndex() const { return m_filterIndex; }
    void setFilterIndex(std::int16_t index) { m_filterIndex = index; }
    std::int32_t flags() const { return m_flags; }
    void setFlags(std::int32_t flags) { m_flags = flags; }
    bool fontBold() const { return m_fontBold; }
    void setFontBold(bool on) { m_fontBold = on; }
    bool fontItalic() const { return m_fontItalic; }
    void setFontItalic(bool on) { m_fontItalic = on; }
    const QString& fontName() const { return m_fontName; }
    void setFontName(const QString& name) { m_fontName = name; }
    std::int32_t fontSize() const { return m_fontSize; }
    void setFontSize(std::int32_t points) { m_fontSize = points; }
    bool fontStrikethru() const { return m_fontStrikethru; }
    void setFontStrikethru(bool on) { m_fontStrikethru = on; }
    bool fontUnderline() const { return m_fontUnderline; }
    void setFontUnderline(bool on) { m_fontUnderline = on; }
    std::int32_t fromPage() const { return m_fromPage; }
    void setFromPage(std::int32_t page) { m_fromPage = page; }
    std::int32_t hdc() const { return m_hdc; }
    void setHdc(std::int32_t handle) { m_hdc = handle; }
    std::int32_t helpCommand() const { return m_helpCommand; }
    void setHelpCommand(std::int32_t command) { m_helpCommand = command; }
    const QString& helpContext() const { return m_helpContext; }
    void setHelpContext(const QString& context) { m_helpContext = context; }
    const QString& helpFile() const { return m_helpFile; }
    void setHelpFile(const QString& file) { m_helpFile = file; }
    const QString& helpKey() const { return m_helpKey; }
    void setHelpKey(const QString& key) { m_helpKey = key; }
    const QString& initDir() const { return m_initDir; }
    void setInitDir(const QString& folder) { m_initDir = folder; }
    std::int32_t max() const { return m_max; }
    void setMax(std::int32_t page) { m_max = page; }
    // Below 1: a path of any length. Otherwise a chosen path must be shorter in bytes.
    std::int32_t maxFileSize() const { return m_maxFileSize; }
    void setMaxFileSize(std::int32_t size) { m_maxFileSize = size; }
    std::int32_t min() const { return m_min; }
    void setMin(std::int32_t page) { m_min = page; }
    QObject* object() const { return m_object; }
    void setObject(QObject* object) { m_object = object; }
    std::int16_t printerDefault() const { return m_printerDefault; }
    void setPrinterDefault(std::int16_t value) { m_printerDefault = value; }
    std::int32_t toPage() const { return m_toPage; }
    void setToPage(std::int32_t page) { m_toPage = page; }

private:
    enum class FileMode { Open, Save, Folder };
    void showFileDialog(FileMode mode);

    DialogBackend& m_backend;
    QWidget* m_owner{nullptr};

    std::int16_t m_action{None};
    bool m_cancelError{false};
    std::int32_t m_color{0};
    std::int32_t m_copies{0};
    QString m_defaultExt;
    QString m_dialogTitle;
    QString m_filename;
    QString m_fileTitle;
    QString m_filter;
    std::int16_t m_filterIndex{0};
    std::int32_t m_flags{0};
    bool m_fontBold{false};
    bool m_fontItalic{false};
    QString m_fontName;
    std::int32_t m_fontSize{0};
    bool m_fontStrikethru{false};
    bool m_fontUnderline{false};
    std::int32_t m_fromPage{0};
    std::int32_t m_hdc{0};
    std::int32_t m_helpCommand{0};
    QString m_helpContext;
    QString m_helpFile;
    QString m_helpKey;
    QString m_initDir;
    std::int32_t m_max{0};
    std::int32_t m_maxFileSize{0};
    std::int32_t m_min{0};
    QObject* m_object{nullptr};
    std::int16_t m_printerDefault{0};
    std::int32_t m_toPage{0};
    std::int32_t m_apiReturn{0};
    std::int32_t m_extendedError{0};
};
