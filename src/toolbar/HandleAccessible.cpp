#include "toolbar/HandleAccessible.h"

#include "toolbar/ToolbarHandle.h"

namespace {

QAccessibleInterface* handleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("ToolbarHandle") && object && object->isWidgetType())
        return new HandleAccessible(static_cast<ToolbarHandle*>(object));
    return nullptr;
}

} // namespace

HandleAccessible::HandleAccessible(ToolbarHandle* handle) : QAccessibleWidget(handle, QAccessible::ButtonMenu) {}

void HandleAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(handleFactory);
        return true;
    }();
    (void)installed;
}

QString HandleAccessible::text(QAccessible::Text t) const
{
    const QString own = QAccessibleWidget::text(t);
    if (t != QAccessible::Name || !own.isEmpty())
        return own;
    // The window's title is the toolbar's name.
    const QString toolbar = widget()->window()->windowTitle();
    return toolbar.isEmpty() ? QStringLiteral("Toolbar menu") : toolbar + QStringLiteral(" menu");
}

QAccessible::State HandleAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.hasPopup = true;
    return s;
}

QStringList HandleAccessible::actionNames() const
{
    // Press as well: voice control and switch access press what they are told to.
    return {showMenuAction(), pressAction()};
}

void HandleAccessible::doAction(const QString& name)
{
    if (name == showMenuAction() || name == pressAction())
        static_cast<ToolbarHandle*>(widget())->requestMenu();
    else
        QAccessibleWidget::doAction(name);
}
