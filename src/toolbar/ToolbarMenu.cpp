#include "toolbar/ToolbarMenu.h"

#include "platform/SkipOnError.h"
#include "toolbar/ToolbarContext.h"
#include "toolbar/ToolbarHost.h"
#include "toolbar/ToolbarWindow.h"

#include <QMenu>

#include <stdexcept>
#include <string>

namespace {

struct ModeItem {
    const char* name;
    const char* caption;
};
constexpr std::array<ModeItem, ModeCount> ModeItems{{{"M_mnuVERT", "&Vertical"},
                                                     {"M_mnuCAP", "&Captions"},
                                                     {"M_mnuAOT", "&Always on Top"},
                                                     {"M_mnuVIS", "V&isible"},
                                                     {"M_mnuAHIDE", "Auto &Hide"},
                                                     {"M_mnuUNMOVE", "&Unmoveable"}}};

} // namespace

ToolbarMenu::ToolbarMenu(ToolbarContext& context, ToolbarWindow& window)
    : QObject(&window)
    , m_context(context)
    , m_window(window)
{
}

const TbrRec& ToolbarMenu::record() const
{
    const ToolbarSet& set = m_context.set;
    const std::uint8_t index = m_window.index();
    if (index > set.TbrLast || index >= set.Tbrs.size())
        throw std::out_of_range("toolbar " + std::to_string(index) + " is not in the set");
    return set.Tbrs[index];
}

void ToolbarMenu::buildPopup()
{
    m_popup = new QMenu(&m_window);
    m_popup->setObjectName(QStringLiteral("C_mnuPOPUP"));
    QMenu* modes = m_popup->addMenu(QStringLiteral("&Modes"));
    modes->setObjectName(QStringLiteral("C_mnuMODES"));
    for (int m = 0; m < ModeCount; ++m) {
        QAction* item = modes->addAction(QString::fromLatin1(ModeItems[std::size_t(m)].caption));
        item->setObjectName(QString::fromLatin1(ModeItems[std::size_t(m)].name));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, m] { modeItemTriggered(m); });
        m_modeActions[std::size_t(m)] = item;
    }
    QAction* config = m_popup->addAction(QStringLiteral("&Config..."));
    config->setObjectName(QStringLiteral("C_mnuCFG"));
    QFont bold = config->font();
    bold.setBold(true);
    config->setFont(bold);
    m_popup->setDefaultAction(config);
    m_popup->addSeparator()->setObjectName(QStringLiteral("Z_sep01"));
    QAction* about = m_popup->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("C_mnuABOUT"));
    QAction* end = m_popup->addAction(QStringLiteral("&Terminate"));
    end->setObjectName(QStringLiteral("C_mnuEND"));

    connect(config, &QAction::triggered, this,
            [this] { skipOnError("Config...", [&] { m_context.host.showConfig(m_window.index()); }); });
    connect(about, &QAction::triggered, this, [this] { skipOnError("About", [&] { m_context.host.showAbout(); }); });
    // Queued: ending the program closes this window, which must not happen while its
    // own menu is still delivering the click.
    connect(
        end, &QAction::triggered, this, [this] { skipOnError("Terminate", [&] { m_context.host.quit(); }); },
        Qt::QueuedConnection);
}

QMenu& ToolbarMenu::popup()
{
    if (!m_popup) {
        buildPopup();
        sync();
    }
    return *m_popup;
}

QAction* ToolbarMenu::modeAction(int m) const
{
    return m >= 0 && m < ModeCount ? m_modeActions[static_cast<std::size_t>(m)] : nullptr;
}

void ToolbarMenu::sync()
{
    if (!m_popup)
        return;
    const TbrRec& rec = record();
    // Toolbar 0 is always shown, so its Visible mode cannot be switched.
    m_modeActions[Visible]->setEnabled(m_window.index() != 0);
    for (int m = 0; m < ModeCount; ++m)
        m_modeActions[std::size_t(m)]->setChecked(isTrue(rec.mode(m)));
}

void ToolbarMenu::modeItemTriggered(int m)
{
    skipOnError("mode item", [&] { m_window.applyMode(m); });
    // The item toggled its own tick when clicked; it must show the flag even when
    // switching the mode failed halfway or was refused.
    skipOnError("mode item tick", [&] {
        if (QAction* item = modeAction(m))
            item->setChecked(isTrue(record().mode(m)));
    });
}

void ToolbarMenu::buildButtonMenu()
{
    m_buttonMenu = new QMenu(&m_window);
    m_buttonMenu->setObjectName(QStringLiteral("C_mnuBUTTON"));
    QAction* edit = m_buttonMenu->addAction(QStringLiteral("Edit Button..."));
    edit->setObjectName(QStringLiteral("C_mnuBTNEDIT"));
    QAction* remove = m_buttonMenu->addAction(QStringLiteral("Delete Button"));
    remove->setObjectName(QStringLiteral("C_mnuBTNDEL"));
    m_moveBack = m_buttonMenu->addAction(QString());
    m_moveBack->setObjectName(QStringLiteral("C_mnuBTNBACK"));
    m_moveOn = m_buttonMenu->addAction(QString());
    m_moveOn->setObjectName(QStringLiteral("C_mnuBTNON"));
    m_buttonMenu->addSeparator();
    // The toolbar's own menu, the one its handle opens.
    QMenu& own = popup();
    own.setTitle(QStringLiteral("Toolbar"));
    m_buttonMenu->addMenu(&own);

    connect(edit, &QAction::triggered, this, [this] { buttonCommand(ButtonCommand::Edit); });
    connect(remove, &QAction::triggered, this, [this] { buttonCommand(ButtonCommand::Delete); });
    connect(m_moveBack, &QAction::triggered, this, [this] { buttonCommand(ButtonCommand::MoveBack); });
    connect(m_moveOn, &QAction::triggered, this, [this] { buttonCommand(ButtonCommand::MoveOn); });
}

void ToolbarMenu::openButtonMenu(int position, QPoint global)
{
    if (m_window.isShutDown() || m_window.entryAt(position) < 1)
        return;
    if (!m_buttonMenu)
        buildButtonMenu();
    m_position = position;
    const bool vertical = isTrue(record().Vertical);
    m_moveBack->setText(vertical ? QStringLiteral("Move Up") : QStringLiteral("Move Left"));
    m_moveOn->setText(vertical ? QStringLiteral("Move Down") : QStringLiteral("Move Right"));
    m_moveBack->setEnabled(m_window.entryAt(position - 1) > 0);
    m_moveOn->setEnabled(m_window.entryAt(position + 1) > 0);
    sync();
    if (m_window.isVisible())
        m_window.activateWindow();
    m_buttonMenu->popup(global);
}

void ToolbarMenu::buttonCommand(ButtonCommand command)
{
    skipOnError("button menu item", [&] {
        const int k = m_window.entryAt(m_position);
        if (m_window.isShutDown() || k < 1)
            return;
        ToolbarHost& host = m_context.host;
        const std::uint8_t index = m_window.index();
        switch (command) {
        case ButtonCommand::Edit:
            host.editButtonRequested(index, k);
            break;
        case ButtonCommand::Delete:
            host.deleteButtonRequested(index, k);
            break;
        case ButtonCommand::MoveBack:
        case ButtonCommand::MoveOn:
            // The neighbour on the bar, a gap too: one step, as on the position bar.
            if (const int there = m_window.entryAt(m_position + (command == ButtonCommand::MoveOn ? 1 : -1)); there > 0)
                host.moveButtonRequested(index, k, there);
            break;
        }
    });
}
