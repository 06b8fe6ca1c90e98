#include "toolbar/StripAccessible.h"

#include "toolbar/ButtonStrip.h"

#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

// The part of the button at position that its window shows, in the strip's pixels.
QRect clippedRect(const ButtonStrip& strip, int position)
{
    const QWidget* window = strip.window();
    const QRect shown(strip.mapFrom(window, QPoint(0, 0)), window->size());
    return strip.buttonPixelRect(position).intersected(shown);
}

// One button or separator of the strip: the child index is its identity, so an
// interface asked for again describes whatever now stands at that place.
class StripButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    StripButtonAccessible(ButtonStrip* strip, int index) : m_strip(strip), m_index(index) {}

    bool isValid() const override { return position() > 0; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override
    {
        return m_strip ? m_strip->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override
    {
        return m_strip ? QAccessible::queryAccessibleInterface(m_strip.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        const int p = position();
        if (p <= 0 || m_strip->style(p) == ButtonStrip::Style::Gap)
            return {};
        const QString caption = m_strip->caption(p);
        const QString tip = m_strip->toolTipText(p);
        switch (t) {
        case QAccessible::Name:
            return caption.isEmpty() ? tip : caption;
        case QAccessible::Description:
            return caption.isEmpty() ? QString() : tip;
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        const int p = position();
        if (p <= 0)
            return {};
        const QRect r = m_strip->buttonPixelRect(p);
        return QRect(m_strip->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override
    {
        const int p = position();
        return p > 0 && m_strip->style(p) == ButtonStrip::Style::Gap ? QAccessible::Separator : QAccessible::Button;
    }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        const int p = position();
        // A hidden toolbar shows nothing; a folded one (or one folding) shows only what
        // its window still holds: the strip keeps its full length beyond the window's
        // edge, and a button out there must not be read as one the user can see.
        s.invisible = p <= 0 || !m_strip->isVisible();
        s.offscreen = s.invisible || clippedRect(*m_strip, p).isEmpty();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override
    {
        const int p = position();
        return p > 0 && m_strip->style(p) == ButtonStrip::Style::Normal ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            if (const int p = position(); p > 0)
                m_strip->press(p);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    int position() const
    {
        if (!m_strip)
            return 0;
        auto* parent = static_cast<StripAccessible*>(QAccessible::queryAccessibleInterface(m_strip.data()));
        return parent ? parent->positionOf(m_index) : 0;
    }

    QPointer<ButtonStrip> m_strip;
    int m_index;
};


QAccessibleInterface* stripFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("ButtonStrip") && object && object->isWidgetType())
        return new StripAccessible(static_cast<ButtonStrip*>(object));
    return nullptr;
}

} // namespace

StripAccessible::StripAccessible(ButtonStrip* strip) : QAccessibleWidget(strip, QAccessible::ToolBar) {}

StripAccessible::~StripAccessible()
{
    for (const QAccessible::Id id : m_children)
        if (id)
            QAccessible::deleteAccessibleInterface(id);
}

void StripAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(stripFactory);
        return true;
    }();
    (void)installed;
}

ButtonStrip* StripAccessible::strip() const
{
    return static_cast<ButtonStrip*>(widget());
}

int StripAccessible::positionOf(int index) const
{
    const int p = index + ButtonStrip::FirstButton;
    return index >= 0 && p <= strip()->buttonCount() ? p : 0;
}

int StripAccessible::childCount() const
{
    return std::max(0, strip()->buttonCount() - ButtonStrip::FirstButton + 1);
}

QString StripAccessible::text(QAccessible::Text t) const
{
    // The window's title is the toolbar's name, which names its bar too.
    const QString own = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && own.isEmpty())
        return strip()->window()->windowTitle();
    return own;
}

QAccessibleInterface* StripAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (m_children.size() <= std::size_t(index))
        m_children.resize(std::size_t(index) + 1, 0);
    QAccessible::Id& id = m_children[std::size_t(index)];
    if (!id)
        id = QAccessible::registerAccessibleInterface(new StripButtonAccessible(strip(), index));
    return QAccessible::accessibleInterface(id);
}

int StripAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (std::size_t i = 0; i < m_children.size(); ++i)
        if (m_children[i] && QAccessible::accessibleInterface(m_children[i]) == child)
            return static_cast<int>(i);
    return -1;
}

QAccessibleInterface* StripAccessible::childAt(int x, int y) const
{
    const ButtonStrip* s = strip();
    const QPoint local = s->mapFromGlobal(QPoint(x, y));
    for (int i = 0, n = childCount(); i < n; ++i)
        if (clippedRect(*s, positionOf(i)).contains(local))
            return child(i);
    return nullptr;
}
