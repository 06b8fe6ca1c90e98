#include "editors/IconPickerDialog.h"

#include "dialogs/CDialogs.h"
#include "editors/CommandButtons.h"
#include "editors/IconCell.h"
#include "editors/ThemeIconDialog.h"
#include "platform/Centre.h"
#include "platform/IconSource.h"
#include "platform/SkipOnError.h"
#include "platform/TaskbarEntry.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyle>

#include <cmath>

namespace {

// Windows icon files, programs and libraries as the program always offered them, and
// what holds icons on this desktop: pictures and application entries.
const QString IconFilter = QStringLiteral(
    "Icon Files and Archives|*.dll;*.exe;*.ico;*.icl;*.png;*.svg;*.xpm;*.jpg;*.jpeg;*.bmp;*.desktop|"
    "Icon Files (ICO)|*.ico|Program Files (EXE) |*.exe|DLL Files (DLL) |*.dll|Icon Libraries (ICL) |*.icl|"
    "Pictures (PNG, SVG, XPM, JPG, BMP)|*.png;*.svg;*.xpm;*.jpg;*.jpeg;*.bmp|"
    "Application Entries (DESKTOP)|*.desktop|All files|*.*|");

// The cell names, left to right, as tests and accessibility tools find them.
const char* const CellNames[] = {"Picture5", "Picture3", "Iconbox", "Picture4", "Picture6"};

std::string bytes(const QString& s)
{
    return s.toLocal8Bit().toStdString();
}

} // namespace

IconPickerDialog::IconPickerDialog(IconSource& icons, DialogBackend& dialogs, QWidget* parent)
    : QDialog(parent)
    , m_icons(icons)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("FIcon"));
    // A fixed dialog with a title alone: it ends by OK or Cancel, not by a close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Open Icon"));
    buildControls();
}

IconPickerDialog::~IconPickerDialog() = default;

void IconPickerDialog::buildControls()
{
    // Layouts size every control for the desktop's font, so each text shows whole at
    // any size and scale.
    auto* outer = new QFrame(this);
    outer->setObjectName(QStringLiteral("Frame2"));
    outer->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* strip = new QFrame(outer);
    strip->setObjectName(QStringLiteral("Frame1"));
    strip->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    auto* cells = new QHBoxLayout;
    cells->setSpacing(0);
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        auto* cell = new IconCell(strip);
        cell->setObjectName(QLatin1String(CellNames[i]));
        const int offset = Offsets[i];
        if (offset == 0) {
            cell->setHighlighted(true);
            cell->setEnabled(false);
        } else {
            connect(cell, &IconCell::clicked, this, [this, offset] { step(offset); });
        }
        cells->addWidget(cell);
        m_cells[i] = cell;
    }
    m_scroll = new QScrollBar(Qt::Horizontal, strip);
    m_scroll->setObjectName(QStringLiteral("Scroll"));
    m_scroll->setRange(0, 9);
    m_scroll->setPageStep(1);
    m_scroll->setEnabled(false);
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int value) {
        m_position = value;
        redraw();
    });
    auto* stripLayout = new QVBoxLayout(strip);
    stripLayout->addLayout(cells);
    stripLayout->addWidget(m_scroll);

    m_browse = new QPushButton(QStringLiteral("&Browse..."), outer);
    m_browse->setObjectName(QStringLiteral("btnBRWS"));
    m_browse->setAutoDefault(false);
    connect(m_browse, &QPushButton::clicked, this, [this] { skipOnError("browsing for an icon file", [this] { browse(); }); });

    // The desktop's own icons, by name: no file to find for them.
    m_theme = new QPushButton(QStringLiteral("&Theme..."), outer);
    m_theme->setObjectName(QStringLiteral("btnTHEME"));
    m_theme->setAutoDefault(false);
    connect(m_theme, &QPushButton::clicked, this, [this] { skipOnError("choosing a theme icon", [this] { chooseThemeIcon(); }); });

    // The path reads like a label, yet can be typed into: a theme name such as
    // "folder" has no file to browse for.
    m_file = new QLineEdit(outer);
    m_file->setObjectName(QStringLiteral("Filename"));
    QPalette face = m_file->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    m_file->setPalette(face);
    connect(m_file, &QLineEdit::textChanged, this, [this] { recount(); });

    m_selected = new QLabel(outer);
    m_selected->setObjectName(QStringLiteral("Label12"));
    m_stored = new QLabel(outer);
    m_stored->setObjectName(QStringLiteral("Label4"));
    // Room for the longest line with a long count, so the window keeps its size.
    const int textWidth = fontMetrics().horizontalAdvance(QStringLiteral("Icons stored in file : 000000"));
    m_file->setMinimumWidth(textWidth);

    auto* browseRow = new QHBoxLayout;
    browseRow->addWidget(m_browse);
    browseRow->addWidget(m_theme);
    browseRow->addStretch(1);
    auto* outerLayout = new QVBoxLayout(outer);
    outerLayout->addWidget(strip, 0, Qt::AlignHCenter);
    outerLayout->addLayout(browseRow);
    outerLayout->addWidget(m_file);
    outerLayout->addWidget(m_selected);
    outerLayout->addWidget(m_stored);

    const CommandButtons buttons = makeCommandButtons(this);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    m_cancel->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* commands = new QHBoxLayout;
    commands->addStretch(1);
    commands->addWidget(m_ok);
    commands->addWidget(m_cancel);

    auto* window = new QVBoxLayout(this);
    window->setSizeConstraint(QLayout::SetFixedSize);
    window->addWidget(outer);
    window->addLayout(commands);

    QWidget* order[] = {m_browse, m_theme, m_ok, m_cancel, m_file, m_scroll};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

QString IconPickerDialog::file() const
{
    return m_file->text();
}

void IconPickerDialog::setFile(const QString& file)
{
    // Only a change counts again, as when the user types.
    if (file != m_file->text())
        m_file->setText(file);
}

bool IconPickerDialog::setPosition(int position)
{
    if (position < 0 || (m_count > 0 && position >= m_count))
        return false;
    if (position == m_position)
        return true;
    m_position = position;
    if (m_count > 0) {
        const QSignalBlocker quiet(m_scroll);
        m_scroll->setValue(position);
    }
    redraw();
    return true;
}

void IconPickerDialog::recount()
{
    const QString f = m_file->text();
    int n = 0;
    if (!f.isEmpty())
        skipOnError("counting icons", [&] { n = m_icons.count(bytes(f)); });
    m_count = std::max(n, 0);
    const bool any = m_count > 0;
    {
        const QSignalBlocker quiet(m_scroll);
        if (any) {
            m_scroll->setRange(0, m_count - 1);
            m_scroll->setValue(0);
            m_position = 0;
        } else {
            // Nothing to move through: the position stays what it was.
            m_scroll->setRange(0, 0);
        }
    }
    m_scroll->setEnabled(any);
    m_cells[2]->setEnabled(any);
    m_stored->setText(any ? QStringLiteral("Icons stored in file : %1").arg(m_count)
                          : QStringLiteral("No icons found!"));
    redraw();
}

void IconPickerDialog::step(int offset)
{
    // A neighbour past either end is empty, and a click on it does nothing; so does any
    // click while the file has no icons.
    if (m_count > 0)
        setPosition(m_position + offset);
}

void IconPickerDialog::redraw()
{
    drawCells();
    m_selected->setText(QStringLiteral("Selected Icon : %1").arg(m_position + 1));
}

void IconPickerDialog::drawCells()
{
    const QString f = m_file->text();
    // Icons as large as they come up to the cell's room, as the desktop draws them.
    const int side = static_cast<int>(std::lround(IconSide * devicePixelRatioF()));
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        const int p = m_position + Offsets[i];
        QImage picture;
        // Only the file's own icons: a cell before the first or after the last stays empty.
        if (!f.isEmpty() && p >= 0 && p < m_count)
            skipOnError("drawing an icon", [&] { picture = m_icons.draw(bytes(f), p, side); });
        picture.setDevicePixelRatio(devicePixelRatioF());
        m_cells[i]->setPicture(picture);
    }
    // Where the chosen icon is, in the usual notation of an icon location.
    m_cells[2]->setToolTip(f.isEmpty() ? QString() : QStringLiteral("%1,%2").arg(f).arg(m_position));
}

void IconPickerDialog::browse()
{
    m_ok->setFocus();
    CDialogs dialog(m_dialogs, this);
    dialog.setDialogTitle(QStringLiteral("Select Icon File"));
    dialog.setFilename(QString());
    dialog.setFlags(4); // no read-only check box
    dialog.setFilter(IconFilter);
    // Where the present file lies, or else where the program was started.
    const QFileInfo present(m_file->text());
    dialog.setInitDir(!m_file->text().isEmpty() && present.absoluteDir().exists() ? present.absolutePath()
                                                                                 : QDir::currentPath());
    dialog.showOpen();
    // A cancelled dialog leaves the name empty: nothing changes.
    if (!dialog.filename().isEmpty())
        setFile(dialog.filename());
}

void IconPickerDialog::chooseThemeIcon()
{
    auto* list = new ThemeIconDialog(m_icons, m_icons.themeNames(), this);
    list->setAttribute(Qt::WA_DeleteOnClose);
    // A theme name already chosen is looked for again.
    const QString present = m_file->text();
    if (!present.isEmpty() && !present.contains(QLatin1Char('/')))
        list->setFilter(present);
    connect(list, &QDialog::accepted, this, [this, list] {
        const QString name = list->chosen();
        if (!name.isEmpty())
            setFile(name);
    });
    list->open();
}

void IconPickerDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        keepOutOfTaskbar(*this);
        centreOnItsScreen(*this);
        // Drawn afresh for the screen it opens on, and for a file changed meanwhile.
        drawCells();
    }
    QDialog::showEvent(event);
}
