#include "config/ConfigWindow.h"

#include "config/ButtonList.h"
#include "config/ConfigActions.h"
#include "config/PositionBar.h"
#include "platform/Centre.h"
#include "platform/PreferredFont.h"
#include "platform/Log.h"
#include "platform/SkipOnError.h"
#include "store/Messages.h"
#include "store/ToolbarSet.h"
#include "toolbar/BuiltinPictures.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

#include <exception>
#include <utility>
#include <vector>

namespace {

// The build's version, set once for the whole project.
constexpr int VersionMajor = VYRE_VERSION_MAJOR;
constexpr int VersionMinor = VYRE_VERSION_MINOR;
constexpr int VersionRevision = VYRE_VERSION_PATCH;

// The strip along the window's left edge is 33 pixels wide; the handle picture is the
// toolbars' 16 x 16.
constexpr int SideBarWidth = 33;
constexpr int PictureSize = 16;

const QString Separator(11, QChar(0x2014));

// The strip along the window's left edge: the desktop's highlight colour, turning
// towards the colour of the window's text at the top, with the program's name running
// upwards at its foot in the colour text on a highlight has. Taken from the palette, it
// stands out from the window on a light theme (a dusk, darker above) and on a dark one
// (brighter above) alike. Drawn in code, for the strip's size and the screen's pixel
// ratio, so it stays crisp when the desktop scales and reaches the foot of a window that
// a large font made taller.
class SideBar final : public QWidget {
public:
    explicit SideBar(QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("picSideBar"));
        setFixedWidth(SideBarWidth);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }

    QSize sizeHint() const override { return {SideBarWidth, 0}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const qreal ratio = devicePixelRatioF();
        if (m_picture.isNull() || m_picture.deviceIndependentSize() != QSizeF(size())
            || m_picture.devicePixelRatio() != ratio)
            m_picture = draw(size(), ratio, palette());
        QPainter(this).drawPixmap(0, 0, m_picture);
    }
    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::PaletteChange)
            m_picture = {};
        QWidget::changeEvent(event);
    }

private:
    static QPixmap draw(QSize size, qreal ratio, const QPalette& palette)
    {
        QPixmap picture(size * ratio);
        picture.setDevicePixelRatio(ratio);
        const int w = size.width();
        const int h = size.height();
        const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
        const QColor onHighlight = palette.color(QPalette::Active, QPalette::HighlightedText);
        const QColor text = palette.color(QPalette::Active, QPalette::WindowText);
        const QColor top((highlight.red() + text.red()) / 2, (highlight.green() + text.green()) / 2,
                         (highlight.blue() + text.blue()) / 2);
        QPainter p(&picture);
        QLinearGradient sky(0, 0, 0, h);
        sky.setColorAt(0.0, top);
        sky.setColorAt(0.6, highlight);
        sky.setColorAt(1.0, highlight);
        p.fillRect(QRect(QPoint(), size), sky);
        QColor star = onHighlight;
        star.setAlpha(90);
        p.setPen(star);
        for (int y = 14; y < h * 2 / 5; y += 23)
            p.drawPoint(5 + (y * 7) % 16, y);
        p.setRenderHint(QPainter::TextAntialiasing);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(13);
        font.setBold(true);
        p.setFont(font);
        p.setPen(onHighlight);
        p.translate(w - 14, h - 8);
        p.rotate(-90);
        p.drawText(0, 0, QStringLiteral("Vyrelight"));
        return picture;
    }

    QPixmap m_picture;
};

QString lineFor(const BtnRec& b)
{
    if (b.Kind == KindSeparator)
        return Separator;
    const QString target = QString::fromLocal8Bit(b.Executable).trimmed();
    if (target.isEmpty())
        return {};
    const QString name = QString::fromLocal8Bit(b.Name);
    if (!name.trimmed().isEmpty())
        return name;
    // A button without a name (a file written by hand, an older set) still shows on its
    // toolbar, so it gets a line too, under its target's file name: without one it could
    // not be edited, deleted or moved, and the lines would stop matching the buttons.
    QString file = target;
    while (file.size() > 1 && file.endsWith(QLatin1Char('/')))
        file.chop(1);
    file = file.mid(file.lastIndexOf(QLatin1Char('/')) + 1);
    return file.isEmpty() ? target : file;
}

QGroupBox* makeFrame(const char* name, const QString& title, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

// A separator's line is drawn as dashes, which a screen reader would read out one by
// one; its item says what it is.
QListWidgetItem* makeLine(const QString& text, QListWidget* list)
{
    auto* item = new QListWidgetItem(text, list);
    if (text == Separator)
        item->setData(Qt::AccessibleTextRole, QStringLiteral("Separator"));
    return item;
}

} // namespace

QString versionText(int major, int minor, int revision)
{
    return QStringLiteral("v%1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QChar('0'))
        .arg(revision, 4, 10, QChar('0'));
}

ConfigWindow::ConfigWindow(ToolbarSet& set, ConfigActions& actions, QWidget* parent)
    : QDialog(parent)
    , m_set(set)
    , m_actions(actions)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QString::fromLatin1(msg::ProgramTitle));
}

ConfigWindow::~ConfigWindow() = default;

void ConfigWindow::setVisible(bool visible)
{
    if (visible)
        ensureControls();
    QDialog::setVisible(visible);
}

void ConfigWindow::ensureControls()
{
    if (built())
        return;
    buildControls();
    // The toolbar list comes from the set as it is now; a choice made before the window
    // existed is carried out as the user's own choice would be.
    refreshToolbarList();
    if (const std::optional<std::uint8_t> t = std::exchange(m_pendingToolbar, std::nullopt))
        selectToolbar(*t);
}

QPushButton* ConfigWindow::makeCommand(Command c, const QString& caption, QWidget* parent)
{
    // What each command does, for those who hear the window: two share each caption.
    static const char* const descriptions[CommandCount] = {
        "", "Add a button to the chosen toolbar", "Edit the selected button", "Delete the selected button",
        "Add a toolbar", "Delete the chosen toolbar", "Edit the chosen toolbar"};
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QStringLiteral("btnCfg(%1)").arg(int(c)));
    b->setAccessibleDescription(QString::fromLatin1(descriptions[c]));
    m_commands[c] = b;
    connect(b, &QPushButton::clicked, this, [this, c] { commandClicked(c); });
    return b;
}

void ConfigWindow::buildControls()
{
    // Layouts size every control for the desktop's font, so every caption shows whole
    // whatever that font is and however the desktop scales.
    Frames frames;
    frames.toolbar = buildToolbarRow();
    buildButtonList();
    frames.buttons = buildButtonCommands();
    frames.position = buildPositionBar();
    frames.modes = buildModes();
    frames.ok = buildFoot();
    layOut(frames);
    setTabOrderOfControls();
    connectControls();
}

QWidget* ConfigWindow::buildToolbarRow()
{
    // The toolbar row: its picture, the list of toolbars and the toolbar commands.
    auto* toolbarFrame = makeFrame("corA(2)", {}, this);
    // Heard, the row's Add, Edit and Del would be the button column's: the group says
    // which they act on.
    toolbarFrame->setAccessibleName(QStringLiteral("Toolbar"));
    m_handlePicture = new QLabel(toolbarFrame);
    m_handlePicture->setObjectName(QStringLiteral("imgTBR"));
    m_handlePicture->setFixedSize(PictureSize, PictureSize);
    m_toolbarList = new QComboBox(toolbarFrame);
    m_toolbarList->setObjectName(QStringLiteral("cbxTbrs"));
    m_toolbarList->setAccessibleName(QStringLiteral("Toolbar list"));
    {
        // On Linux a list box's accessible name is its current line, and its name is read
        // from a label that points at it: one that is not shown, since the row says
        // what the list is by the picture and the commands beside it.
        auto* label = new QLabel(m_toolbarList->accessibleName(), toolbarFrame);
        label->setBuddy(m_toolbarList);
        label->hide();
    }
    // Wide enough for a name of some length; a longer one shows in the open list.
    m_toolbarList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_toolbarList->setMinimumContentsLength(10);
    auto* toolbarRow = new QHBoxLayout(toolbarFrame);
    toolbarRow->addWidget(m_handlePicture);
    toolbarRow->addWidget(m_toolbarList, 1);
    toolbarRow->addWidget(makeCommand(AddToolbar, QStringLiteral("&Add"), toolbarFrame));
    toolbarRow->addWidget(makeCommand(EditToolbar, QStringLiteral("&Edit"), toolbarFrame));
    toolbarRow->addWidget(makeCommand(DeleteToolbar, QStringLiteral("&Del"), toolbarFrame));
    return toolbarFrame;
}

void ConfigWindow::buildButtonList()
{
    // The chosen toolbar's buttons, one line each, in a small face that fits many names
    // where the desktop has it.
    auto* buttonList = new ButtonList(this);
    m_buttonList = buttonList;
    connect(buttonList, &ButtonList::lineDragged, this, &ConfigWindow::lineDragged);
    m_buttonList->setObjectName(QStringLiteral("lstBtns"));
    m_buttonList->setAccessibleName(QStringLiteral("Button list"));
    if (const std::optional<QFont> font = preferredFont(QStringLiteral("Arial"), 8.25))
        m_buttonList->setFont(*font);
    m_buttonList->setSelectionMode(QAbstractItemView::SingleSelection);
    // A separator's line shows whole even beside a scroll bar: the line, the margins an
    // item keeps around its text, the scroll bar and the frame. Longer names are cut.
    const int textMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_buttonList) + 1;
    m_buttonList->setFixedWidth(m_buttonList->fontMetrics().horizontalAdvance(Separator) + 2 * textMargin
                                + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_buttonList)
                                + 2 * m_buttonList->frameWidth());
}

QWidget* ConfigWindow::buildButtonCommands()
{
    auto* buttonFrame = makeFrame("corA(1)", QStringLiteral("Buttons"), this);
    auto* buttonColumn = new QVBoxLayout(buttonFrame);
    buttonColumn->addWidget(makeCommand(AddButton, QStringLiteral("&Add"), buttonFrame));
    buttonColumn->addWidget(makeCommand(EditButton, QStringLiteral("&Edit"), buttonFrame));
    buttonColumn->addWidget(makeCommand(DeleteButton, QStringLiteral("&Del"), buttonFrame));
    return buttonFrame;
}

QWidget* ConfigWindow::buildPositionBar()
{
    // The position bar shows little more than its two arrows.
    auto* positionFrame = makeFrame("corA(3)", {}, this);
    m_positionBar = new PositionBar(positionFrame);
    m_positionBar->setObjectName(QStringLiteral("vsbPos"));
    m_positionBar->setRange(0, 0);
    m_positionBar->setSingleStep(1);
    m_positionBar->setPageStep(1);
    m_positionBar->setFocusPolicy(Qt::StrongFocus);
    m_positionBar->setEnabled(false);
    const int arrow = m_positionBar->sizeHint().width();
    m_positionBar->setFixedSize(arrow, 2 * arrow);
    auto* positionBox = new QVBoxLayout(positionFrame);
    positionBox->addWidget(m_positionBar, 0, Qt::AlignCenter);
    return positionFrame;
}

QWidget* ConfigWindow::buildModes()
{
    auto* modeFrame = makeFrame("corA(0)", QStringLiteral("Modes"), this);
    auto* modeColumn = new QVBoxLayout(modeFrame);
    const QString captions[ModeCount] = {
        QStringLiteral("Vertical"),  QStringLiteral("Captions"),  QStringLiteral("Always On Top"),
        QStringLiteral("Visible"),   QStringLiteral("Auto Hide"), QStringLiteral("UnMoveable")};
    for (int m = 0; m < ModeCount; ++m) {
        auto* box = new QCheckBox(captions[m], modeFrame);
        box->setObjectName(QStringLiteral("chkMode(%1)").arg(m));
        m_modeChecks[m] = box;
        modeColumn->addWidget(box);
        // Any change of the box but the program's own (made under a signal blocker) is
        // the user's: a click, a key, or an assistive tool's toggle, which raises no
        // click at all.
        connect(box, &QCheckBox::toggled, this, [this, m] { modeToggled(m); });
    }
    modeColumn->addStretch();
    return modeFrame;
}

// The version and the Ok button along the foot.
QWidget* ConfigWindow::buildFoot()
{
    m_version = new QLabel(versionText(VersionMajor, VersionMinor, VersionRevision), this);
    m_version->setObjectName(QStringLiteral("lblVER"));
    if (const std::optional<QFont> font = preferredFont(QStringLiteral("Small Fonts"), 6.75))
        m_version->setFont(*font);

    auto* okFrame = makeFrame("corA(4)", {}, this);
    auto* okBox = new QVBoxLayout(okFrame);
    okBox->addWidget(makeCommand(Ok, QStringLiteral("&Ok"), okFrame));
    m_commands[Ok]->setDefault(true);
    return okFrame;
}

void ConfigWindow::layOut(const Frames& frames)
{
    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("corBEVEL"));
    bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);

    // Under the toolbar row: the button list down the left, the button commands and the
    // position bar beside it, the modes on the right, and along the foot the version and
    // the Ok button under a bevel. The window's own layout has no spacing (the side bar
    // touches the edges), so the layouts inside ask the style for theirs.
    const int hSpacing = style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, this);
    const int vSpacing = style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing, nullptr, this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(hSpacing);
    grid->setVerticalSpacing(vSpacing);
    grid->addWidget(m_buttonList, 0, 0, 4, 1);
    grid->addWidget(frames.buttons, 0, 1);
    grid->addWidget(frames.position, 1, 1);
    grid->addWidget(frames.modes, 0, 2, 2, 1);
    grid->addWidget(bevel, 2, 1, 1, 2);
    grid->addWidget(m_version, 3, 1, Qt::AlignLeft | Qt::AlignBottom);
    grid->addWidget(frames.ok, 3, 2);
    grid->setRowStretch(1, 1);

    auto* content = new QVBoxLayout;
    const int margin = style()->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, this);
    content->setContentsMargins(margin, margin, margin, margin);
    content->setSpacing(vSpacing);
    content->addWidget(frames.toolbar);
    content->addLayout(grid, 1);

    // The side bar runs along the whole left edge; the window is as large as its
    // contents need and cannot be resized.
    auto* window = new QHBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->setSizeConstraint(QLayout::SetFixedSize);
    window->addWidget(new SideBar(this));
    window->addLayout(content);
}

void ConfigWindow::setTabOrderOfControls()
{
    QWidget* order[] = {m_toolbarList,       m_commands[AddToolbar], m_commands[EditToolbar],
                        m_commands[DeleteToolbar], m_buttonList,     m_commands[AddButton],
                        m_commands[EditButton],    m_commands[DeleteButton], m_positionBar,
                        m_modeChecks[0],     m_modeChecks[1],        m_modeChecks[2],
                        m_modeChecks[3],     m_modeChecks[4],        m_modeChecks[5],
                        m_commands[Ok]};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void ConfigWindow::connectControls()
{
    // activated is the user's choice (mouse, keys or wheel); the program's own
    // selections go through selectToolbar, which runs the same steps.
    connect(m_toolbarList, &QComboBox::activated, this, [this](int index) {
        if (index >= 0)
            toolbarChosen(static_cast<std::uint8_t>(index));
    });
    connect(m_buttonList, &QListWidget::currentRowChanged, this, &ConfigWindow::lineSelected);
    connect(m_buttonList, &QListWidget::itemDoubleClicked, this, [this] { lineDoubleClicked(); });
    // The program sets the bar under a signal blocker, so every change seen here is a
    // step of the user's.
    connect(m_positionBar, &QScrollBar::valueChanged, this, &ConfigWindow::positionStepped);
}

bool ConfigWindow::hasToolbar(std::uint8_t t) const
{
    return !m_set.Tbrs.empty() && t <= m_set.TbrLast && t < m_set.Tbrs.size();
}

std::optional<std::uint8_t> ConfigWindow::chosenToolbar() const
{
    if (!built())
        return m_pendingToolbar;
    const int index = m_toolbarList->currentIndex();
    if (index < 0 || index > 255)
        return std::nullopt;
    return static_cast<std::uint8_t>(index);
}

std::optional<int> ConfigWindow::selectedButton() const
{
    if (!built())
        return std::nullopt;
    const QListWidgetItem* item = m_buttonList->currentItem();
    if (!item || !item->isSelected())
        return std::nullopt;
    bool ok = false;
    const int k = item->data(Qt::UserRole).toInt(&ok);
    if (!ok)
        return std::nullopt;
    return k;
}

bool ConfigWindow::shows(std::uint8_t t) const
{
    return isVisible() && chosenToolbar() == t;
}

void ConfigWindow::setModeCheck(int m, bool on)
{
    // Without controls there is nothing to tick: the boxes are set from the set when the
    // window is first shown on a toolbar.
    if (m < 0 || m >= ModeCount || !built())
        return;
    const QSignalBlocker block(m_modeChecks[m]);
    m_modeChecks[m]->setChecked(on);
}

void ConfigWindow::showToolbar(std::uint8_t t)
{
    // Toolbar t is chosen below; an earlier choice need not be carried out first.
    m_pendingToolbar.reset();
    skipOnError("making the controls", [&] { ensureControls(); });
    skipOnError("choosing the toolbar", [&] { selectToolbar(t); });
    skipOnError("setting up the position bar", [&] { refreshPositionBar(t); });
    show();
    raise();
    activateWindow();
}

void ConfigWindow::showEvent(QShowEvent* event)
{
    // Centred the first time, on the screen the window is on; after that it stays
    // where the user put it.
    if (!m_placed) {
        m_placed = true;
        centreOnItsScreen(*this);
    }
    QDialog::showEvent(event);
}

void ConfigWindow::selectToolbar(std::uint8_t t)
{
    if (!built()) {
        // Kept until the controls exist, and chosen then.
        if (hasToolbar(t))
            m_pendingToolbar = t;
        return;
    }
    if (t >= m_toolbarList->count())
        return;
    {
        const QSignalBlocker block(m_toolbarList);
        m_toolbarList->setCurrentIndex(t);
    }
    toolbarChosen(t);
}

void ConfigWindow::refreshToolbarList()
{
    if (!built()) {
        // Nothing to fill: the list is filled from the set when the controls are made.
        if (m_pendingToolbar && !hasToolbar(*m_pendingToolbar))
            m_pendingToolbar.reset();
        return;
    }
    const int chosen = m_toolbarList->currentIndex();
    const QSignalBlocker block(m_toolbarList);
    m_toolbarList->clear();
    if (m_set.Tbrs.empty())
        return;
    for (int i = 0; i <= m_set.TbrLast && i < static_cast<int>(m_set.Tbrs.size()); ++i)
        m_toolbarList->addItem(QString::fromLocal8Bit(m_set.Tbrs[i].Name));
    m_toolbarList->setCurrentIndex(chosen < m_toolbarList->count() ? chosen : -1);
}

void ConfigWindow::toolbarChosen(std::uint8_t t)
{
    skipOnError("ticking the modes", [&] { refreshModeChecks(t); });
    skipOnError("listing the buttons", [&] { refreshButtonList(t); });
    skipOnError("showing the handle picture", [&] { refreshHandlePicture(t); });
    m_commands[DeleteToolbar]->setEnabled(t != 0);
    refreshButtonCommands();
}

void ConfigWindow::refreshButtonCommands()
{
    const bool any = m_buttonList->count() > 0;
    m_commands[EditButton]->setEnabled(any);
    m_commands[DeleteButton]->setEnabled(any);
}

void ConfigWindow::refreshHandlePicture(std::uint8_t t)
{
    if (!built() || !hasToolbar(t))
        return;
    const QPixmap picture = m_actions.handlePicture(t);
    // A handle without a picture of its own carries the claws, drawn in this window's
    // colours.
    m_handlePicture->setPixmap(picture.isNull() ? builtinClawsPicture(devicePixelRatioF(), clawsInk(palette()))
                                                : picture);
}

void ConfigWindow::refreshModeChecks(std::uint8_t t)
{
    if (!built())
        return;
    m_modeChecks[Visible]->setEnabled(t != 0);
    if (!hasToolbar(t))
        return;
    const TbrRec& tbr = m_set.Tbrs[t];
    for (int m = 0; m < ModeCount; ++m)
        setModeCheck(m, isTrue(tbr.mode(m)));
}

void ConfigWindow::refreshButtonList(std::uint8_t t)
{
    if (!built())
        return;
    {
        const QSignalBlocker block(m_buttonList);
        m_buttonList->clear();
        if (hasToolbar(t)) {
            const TbrRec& tbr = m_set.Tbrs[t];
            for (int k = 1; k <= tbr.BtnCount && k <= MaxButtons; ++k) {
                const QString line = lineFor(tbr.Btns[k]);
                if (line.isEmpty())
                    continue;
                QListWidgetItem* item = makeLine(line, m_buttonList);
                item->setData(Qt::UserRole, k);
            }
        }
    }
    if (m_buttonList->count() > 0) {
        // Selecting the first line puts the position bar on it, as a user's selection
        // would; the blocked refill left the current row unannounced.
        const bool already = m_buttonList->currentRow() == 0;
        m_buttonList->setCurrentRow(0);
        if (already)
            lineSelected(0);
    }
    refreshPositionBar(t);
    // An editor's OK refills the list long after the command that opened it.
    refreshButtonCommands();
}

void ConfigWindow::refreshPositionBar(std::uint8_t t)
{
    if (!built() || !hasToolbar(t))
        return;
    const int count = m_set.Tbrs[t].BtnCount;
    if (count > 0) {
        // A smaller range may pull the value down; that is not a step of the user's.
        {
            const QSignalBlocker block(m_positionBar);
            m_positionBar->setMaximum(count - 1);
        }
        m_lastPosition = m_positionBar->value();
        m_positionBar->setEnabled(true);
    } else {
        m_positionBar->setEnabled(false);
    }
}

void ConfigWindow::setPositionQuietly(int value)
{
    {
        const QSignalBlocker block(m_positionBar);
        m_positionBar->setValue(value);
    }
    m_lastPosition = m_positionBar->value();
}

void ConfigWindow::modeToggled(int m)
{
    const std::optional<std::uint8_t> t = chosenToolbar();
    if (!t)
        return;
    // The program ignores a click that arrives while it is still applying a mode (from
    // a message box it shows meanwhile), so the click is passed on as it is.
    skipOnError("mode check box", [&] { m_actions.applyMode(*t, m); });
    // The box shows the flag, whether the click toggled it, failed or was refused.
    if (hasToolbar(*t))
        setModeCheck(m, isTrue(m_set.Tbrs[*t].mode(m)));
}

void ConfigWindow::commandClicked(Command c)
{
    const std::optional<std::uint8_t> t = chosenToolbar();
    const std::optional<int> k = selectedButton();
    skipOnError("a command", [&] {
        switch (c) {
        case Ok:
            hide();
            break;
        case AddButton:
            if (t)
                m_actions.addButton(*t);
            break;
        case EditButton:
            if (t && k)
                m_actions.editButton(*t, *k);
            break;
        case DeleteButton:
            if (t && k)
                m_actions.deleteButton(*t, *k);
            break;
        case AddToolbar:
            m_actions.addToolbar();
            break;
        case DeleteToolbar:
            if (t && *t != 0)
                m_actions.deleteToolbar(*t);
            break;
        case EditToolbar:
            if (t)
                m_actions.editToolbar(*t);
            break;
        case CommandCount:
            break;
        }
    });
    refreshButtonCommands();
}

void ConfigWindow::lineSelected(int row)
{
    // The position bar follows the selected line; that is no step of the user's.
    if (row >= 0)
        setPositionQuietly(row);
}

void ConfigWindow::lineDoubleClicked()
{
    const std::optional<std::uint8_t> t = chosenToolbar();
    const std::optional<int> k = selectedButton();
    if (t && k)
        skipOnError("editing the button", [&] { m_actions.editButton(*t, *k); });
}

void ConfigWindow::positionStepped(int value)
{
    const std::optional<std::uint8_t> t = chosenToolbar();
    const QListWidgetItem* lineNew = m_buttonList->item(value);
    const QListWidgetItem* lineOld = m_buttonList->item(m_lastPosition);
    if (t && lineNew && lineOld) {
        const int kNew = lineNew->data(Qt::UserRole).toInt();
        const int kOld = lineOld->data(Qt::UserRole).toInt();
        bool exchanged = false;
        skipOnError("exchanging the buttons", [&] { exchanged = m_actions.exchangeButtons(*t, kNew, kOld); });
        // The refill selects the first line; the button is then selected again at its
        // new place, or at its old one when it did not move, and the bar follows both
        // without taking them for steps.
        const int selected = exchanged ? value : m_lastPosition;
        skipOnError("listing the buttons", [&] { refreshButtonList(*t); });
        skipOnError("selecting the moved button", [&] { m_buttonList->setCurrentRow(selected); });
    }
    // One press of an arrow is one step: an arrow held down would otherwise go on
    // exchanging. The keyboard stays on the bar, so the arrow keys go on moving the same
    // button.
    m_positionBar->stopRepeat();
    m_positionBar->setFocus();
    m_lastPosition = m_positionBar->value();
}

void ConfigWindow::lineDragged(int from, int to)
{
    const std::optional<std::uint8_t> t = chosenToolbar();
    const int count = m_buttonList->count();
    if (!t || from < 0 || to < 0 || from >= count || to >= count)
        return;
    // Each line keeps its record while the buttons are exchanged between the lines, so
    // the records along the way are read first.
    std::vector<int> records;
    for (int row = 0; row < count; ++row)
        records.push_back(m_buttonList->item(row)->data(Qt::UserRole).toInt());
    // One step of the position bar per line passed: each exchange saved and shown.
    const int step = to > from ? 1 : -1;
    int at = from;
    while (at != to) {
        const int here = records[std::size_t(at)];
        const int next = records[std::size_t(at + step)];
        bool exchanged = false;
        skipOnError("exchanging the buttons", [&] { exchanged = m_actions.exchangeButtons(*t, here, next); });
        if (!exchanged)
            break;
        at += step;
    }
    // The moved button is selected at the line it reached, the position bar with it.
    skipOnError("listing the buttons", [&] { refreshButtonList(*t); });
    skipOnError("selecting the moved button", [&] { m_buttonList->setCurrentRow(at); });
}

bool ConfigWindow::selectButton(int k)
{
    if (!built())
        return false;
    for (int row = 0; row < m_buttonList->count(); ++row) {
        if (m_buttonList->item(row)->data(Qt::UserRole).toInt() == k) {
            // The position bar follows the line even when it was current already.
            const bool already = m_buttonList->currentRow() == row;
            m_buttonList->setCurrentRow(row);
            if (already)
                lineSelected(row);
            return true;
        }
    }
    return false;
}

void ConfigWindow::closeEvent(QCloseEvent* event)
{
    // The window lives for the whole run; closing it only puts it away.
    event->ignore();
    hide();
}

void ConfigWindow::reject()
{
    hide();
}
