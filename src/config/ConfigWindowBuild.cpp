// Making the configuration window's controls, frame by frame, and laying them out.
#include "config/ConfigWindow.h"

#include "config/ButtonList.h"
#include "config/PositionBar.h"
#include "config/SideBar.h"
#include "platform/PreferredFont.h"
#include "platform/ReaderName.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <utility>

namespace {

// The build's version, set once for the whole project.
constexpr int VersionMajor = VYRE_VERSION_MAJOR;
constexpr int VersionMinor = VYRE_VERSION_MINOR;
constexpr int VersionRevision = VYRE_VERSION_PATCH;

// The handle picture is the toolbars' 16 x 16.
constexpr int PictureSize = 16;

QGroupBox* makeFrame(const char* name, const QString& title, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

QString versionText(int major, int minor, int revision)
{
    return QStringLiteral("v%1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QChar('0'))
        .arg(revision, 4, 10, QChar('0'));
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
    nameListForReaders(*m_toolbarList);
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
    m_buttonList = new ButtonList(this);
    connect(m_buttonList, &ButtonList::lineDragged, this, &ConfigWindow::lineDragged);
    m_buttonList->setObjectName(QStringLiteral("lstBtns"));
    m_buttonList->setAccessibleName(QStringLiteral("Button list"));
    if (const std::optional<QFont> font = preferredFont(QStringLiteral("Arial"), 8.25))
        m_buttonList->setFont(*font);
    m_buttonList->setSelectionMode(QAbstractItemView::SingleSelection);
    // A separator's line shows whole even beside a scroll bar; longer names are cut.
    m_buttonList->setFixedWidth(m_buttonList->separatorWidth());
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
