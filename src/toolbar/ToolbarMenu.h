#pragma once

#include "store/TbrRec.h"

#include <QObject>
#include <QPoint>

#include <array>

class QAction;
class QMenu;
class ToolbarWindow;
struct ToolbarContext;

// A toolbar's two menus, each made when first needed (most toolbars never open theirs):
// the popup menu its handle opens (the modes, "&Config...", "&About", "&Terminate") and
// the menu a right click on a button opens (that button's commands, then the popup menu
// as a submenu). Both belong to the window and carry out their items through it and the
// host.
class ToolbarMenu : public QObject {
    Q_OBJECT
public:
    ToolbarMenu(ToolbarContext& context, ToolbarWindow& window);

    QMenu& popup();
    // Mode item m; null before the popup menu is made.
    QAction* modeAction(int m) const;
    // Ticks the mode items from the record; nothing to do before the menu is made.
    void sync();
    QMenu* buttonMenu() const { return m_buttonMenu; }
    // Opens the button menu for the button at strip position, at a screen pixel.
    void openButtonMenu(int position, QPoint global);

private:
    enum class ButtonCommand { Edit, Delete, MoveBack, MoveOn };
    const TbrRec& record() const;
    void buildPopup();
    void buildButtonMenu();
    void modeItemTriggered(int m);
    void buttonCommand(ButtonCommand command);

    ToolbarContext& m_context;
    ToolbarWindow& m_window;
    QMenu* m_popup{};
    std::array<QAction*, ModeCount> m_modeActions{};
    QMenu* m_buttonMenu{};
    QAction* m_moveBack{};
    QAction* m_moveOn{};
    int m_position{0}; // the strip position the button menu was opened on
};
