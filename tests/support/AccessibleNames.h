#pragma once

#include <QAccessible>
#include <QRegularExpression>
#include <QStringList>
#include <QWidget>

// What a screen reader says a widget is called: its name, or for a list box, whose name
// on Linux is its current line, the label that points at it.
inline QString accessibleName(QObject* object)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (!iface)
        return {};
    if (iface->role() == QAccessible::ComboBox) {
        const auto labels = iface->relations(QAccessible::Label);
        return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
    }
    return iface->text(QAccessible::Name);
}

// The controls of a window the keyboard can reach that a screen reader could name only
// as their kind ("push button", "edit"): shown, taking the focus, and without a name,
// or with one of marks alone ("...") that says nothing read out.
inline QStringList unnamedControls(QWidget& window)
{
    static const QRegularExpression word(QStringLiteral("\\w"));
    QStringList unnamed;
    for (QWidget* w : window.findChildren<QWidget*>())
        if (w->isVisibleTo(&window) && w->focusPolicy() != Qt::NoFocus && !accessibleName(w).contains(word))
            unnamed << w->objectName();
    return unnamed;
}
