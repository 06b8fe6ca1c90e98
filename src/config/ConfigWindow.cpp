// Showing the configuration window on a toolbar, and filling its controls from the set.
#include "config/ConfigWindow.h"

#include "config/ButtonList.h"
#include "config/ConfigActions.h"
#include "config/PositionBar.h"
#include "platform/Centre.h"
#include "platform/SkipOnError.h"
#include "store/Messages.h"
#include "store/ToolbarSet.h"
#include "toolbar/BuiltinPictures.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

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
    return m_buttonList->selectedRecord();
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
        if (hasToolbar(t))
            m_buttonList->addButtonLines(m_set.withButtons(t));
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
    const int count = m_set.withButtons(t).BtnCount;
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

bool ConfigWindow::selectButton(int k)
{
    if (!built())
        return false;
    const int row = m_buttonList->rowOf(k);
    if (row < 0)
        return false;
    // The position bar follows the line even when it was current already.
    const bool already = m_buttonList->currentRow() == row;
    m_buttonList->setCurrentRow(row);
    if (already)
        lineSelected(row);
    return true;
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
