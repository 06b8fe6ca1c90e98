#pragma once

#include <QAccessibleWidget>

#include <vector>

class ButtonStrip;

// What screen readers and other assistive tools see of a button strip. The strip paints
// its buttons itself, without a widget each, so without this they would see one blank
// surface: here the tool bar, named as its toolbar, has a child for each place after
// the two fixed buttons: a normal button with its name (caption, else tooltip) and a
// press action that clicks it, or a separator for a gap. A place its window does not
// show (folded away, or the whole toolbar hidden) is not reported as showing.
class StripAccessible : public QAccessibleWidget {
public:
    explicit StripAccessible(ButtonStrip* strip);
    ~StripAccessible() override;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;

    ButtonStrip* strip() const;
    // The strip position of child index; 0 when there is none.
    int positionOf(int index) const;

    // Made known to Qt once, before the first strip is asked for.
    static void install();

private:
    mutable std::vector<QAccessible::Id> m_children; // by child index, made on demand
};
