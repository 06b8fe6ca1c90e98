#pragma once

#include <QAccessibleWidget>

class ToolbarHandle;

// What assistive tools see of a toolbar's drag handle: a menu button named after its
// toolbar ("Tools menu"), whose press opens the toolbar's popup menu as a right click
// on the handle does. Without it the handle would be a blank, nameless surface, and
// the menu (modes, configuration, ending the program) out of reach without a mouse.
class HandleAccessible : public QAccessibleWidget {
public:
    explicit HandleAccessible(ToolbarHandle* handle);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& name) override;

    // Made known to Qt once, before the first handle is asked for.
    static void install();
};
