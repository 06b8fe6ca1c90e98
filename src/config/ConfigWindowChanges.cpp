// What the user does in the configuration window, passed on to ConfigActions; the window
// then shows the set as the actions left it.
#include "config/ConfigWindow.h"

#include "config/ButtonList.h"
#include "config/ConfigActions.h"
#include "config/PositionBar.h"
#include "platform/SkipOnError.h"
#include "store/ToolbarSet.h"

#include <vector>

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
    const int kNew = m_buttonList->recordAt(value);
    const int kOld = m_buttonList->recordAt(m_lastPosition);
    if (t && kNew > 0 && kOld > 0) {
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
        records.push_back(m_buttonList->recordAt(row));
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
