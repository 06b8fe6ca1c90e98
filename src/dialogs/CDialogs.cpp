#include "dialogs/CDialogs.h"

#include "platform/DialogBackend.h"

#include <QFileInfo>

#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace {

bool fits16(std::int32_t v)
{
    return v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max();
}

QColor fromColorRef(std::int32_t c)
{
    const auto u = static_cast<std::uint32_t>(c);
    return QColor(int(u & 0xFF), int((u >> 8) & 0xFF), int((u >> 16) & 0xFF));
}

std::int32_t toColorRef(const QColor& c)
{
    return std::int32_t(std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16));
}

} // namespace

DialogCancelled::DialogCancelled(std::int32_t number, QString description)
    : m_number(number)
    , m_description(std::move(description))
    , m_what("error " + std::to_string(number) + ": " + m_description.toStdString())
{
}

CDialogs::CDialogs(DialogBackend& backend, QWidget* owner)
    : m_backend(backend)
    , m_owner(owner)
{
}

QStringList CDialogs::nameFilters(const QString& filter)
{
    QStringList out;
    if (filter.isEmpty())
        return out;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'))) {
            const QString pattern = p.trimmed();
            if (pattern.isEmpty())
                continue;
            // "*.*" means every file where it comes from; here it would leave out every
            // name without a point, which most programs have.
            patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
        }
        if (patterns.isEmpty())
            continue;
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' ')));
    }
    return out;
}

void CDialogs::showOpen()
{
    showFileDialog(FileMode::Open);
}

void CDialogs::showSave()
{
    showFileDialog(FileMode::Save);
}

void CDialogs::showFolder()
{
    showFileDialog(FileMode::Folder);
}

void CDialogs::showFileDialog(FileMode mode)
{
    m_apiReturn = 0;
    m_extendedError = 0;
    DialogBackend::FileRequest request;
    using Mode = DialogBackend::FileRequest::Mode;
    request.mode = mode == FileMode::Open ? Mode::Open : mode == FileMode::Save ? Mode::Save : Mode::Folder;
    request.owner = m_owner;
    request.title = m_dialogTitle;
    request.folder = m_initDir;
    request.file = m_filename;
    request.nameFilters = nameFilters(m_filter);
    request.filterIndex = m_filterIndex > 0 ? m_filterIndex - 1 : 0;
    request.defaultSuffix = m_defaultExt.startsWith(QLatin1Char('.')) ? m_defaultExt.mid(1) : m_defaultExt;
    request.flags = static_cast<std::uint32_t>(m_flags);

    DialogBackend::Choice<QString> chosen = m_backend.chooseFile(request);
    // A buffer size given by the caller still holds; without one a path may be as long
    // as the file system allows.
    if (chosen.value && m_maxFileSize >= 1 && chosen.value->toLocal8Bit().size() > m_maxFileSize - 1) {
        chosen.value.reset();
        chosen.error = BufferTooSmall;
    }
    if (!chosen.value) {
        m_extendedError = static_cast<std::int32_t>(chosen.error);
        return;
    }
    m_apiReturn = 1;
    m_filename = *chosen.value;
    m_fileTitle = QFileInfo(*chosen.value).fileName();
}

void CDialogs::showColor()
{
    m_apiReturn = 0;
    m_extendedError = 0;
    m_action = Color;
    const DialogBackend::Choice<QColor> chosen =
        m_backend.chooseColor(m_owner, fromColorRef(m_color), static_cast<std::uint32_t>(m_flags));
    if (chosen.value) {
        m_apiReturn = 1;
        m_color = toColorRef(*chosen.value);
    } else if (chosen.error == 0) {
        if (m_cancelError)
            throw DialogCancelled(ColorCancelNumber, QStringLiteral("Cancel Pressed"));
    } else {
        m_extendedError = static_cast<std::int32_t>(chosen.error);
    }
}

void CDialogs::showFont()
{
    m_apiReturn = 0;
    m_extendedError = 0;
    m_action = Font;
    // The size goes to the dialog in tenths of a point; one that does not fit ends here.
    if (m_fontSize > std::numeric_limits<std::int32_t>::max() / 10
        || m_fontSize < std::numeric_limits<std::int32_t>::min() / 10)
        return;
    QFont initial;
    initial.setBold(m_fontBold);
    initial.setItalic(m_fontItalic);
    initial.setUnderline(m_fontUnderline);
    initial.setStrikeOut(m_fontStrikethru);
    if (m_fontSize > 0)
        initial.setPointSize(m_fontSize);
    m_flags = FontFlags;
    const DialogBackend::Choice<QFont> chosen = m_backend.chooseFont(m_owner, initial);
    if (chosen.value) {
        m_apiReturn = 1;
        const QFont& f = *chosen.value;
        m_fontBold = f.weight() >= QFont::Bold;
        m_fontItalic = f.italic();
        m_fontUnderline = f.underline();
        m_fontStrikethru = f.strikeOut();
        m_fontName = f.family();
        // Tenths of a point back to whole points, halves to even.
        const double tenths = std::round(f.pointSizeF() * 10.0);
        m_fontSize = static_cast<std::int32_t>(std::nearbyint(tenths / 10.0));
    } else if (chosen.error == 0) {
        if (m_cancelError)
            throw DialogCancelled(CancelNumber, QStringLiteral("Application-defined or object-defined error"));
    } else {
        m_extendedError = static_cast<std::int32_t>(chosen.error);
    }
}

void CDialogs::showPrinter()
{
    m_apiReturn = 0;
    m_extendedError = 0;
    m_action = Printer;
    // The pages and copies travel as 16-bit values.
    for (const std::int32_t v : {m_fromPage, m_toPage, m_min, m_max, m_copies})
        if (!fits16(v))
            return;
    const DialogBackend::PrintRange in{m_fromPage, m_toPage, m_min, m_max, m_copies};
    const DialogBackend::Choice<DialogBackend::PrintRange> chosen =
        m_backend.choosePrinter(m_owner, in, static_cast<std::uint32_t>(m_flags));
    if (chosen.value) {
        m_apiReturn = 1;
        m_fromPage = chosen.value->fromPage;
        m_toPage = chosen.value->toPage;
        m_min = chosen.value->minPage;
        m_max = chosen.value->maxPage;
        m_copies = chosen.value->copies;
    } else if (chosen.error == 0) {
        if (m_cancelError)
            throw DialogCancelled(CancelNumber, QStringLiteral("Application-defined or object-defined error"));
    } else {
        m_extendedError = static_cast<std::int32_t>(chosen.error);
    }
}

void CDialogs::showHelp()
{
    m_apiReturn = 0;
    m_extendedError = 0;
    m_action = Help;
    m_apiReturn = m_backend.showHelp(m_helpFile, static_cast<std::uint32_t>(m_helpCommand)) ? 1 : 0;
}
