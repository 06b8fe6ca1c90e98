#include "editors/SearchBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

namespace {

class ListKeys : public QObject {
public:
    ListKeys(QLineEdit* box, QAbstractItemView* list)
        : QObject(box)
        , m_list(list)
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && m_list) {
            switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
                QApplication::sendEvent(m_list, event);
                return true;
            default:
                break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QAbstractItemView> m_list;
};

} // namespace

QLineEdit* makeSearchBox(QWidget* parent, const QString& accessibleName, QAbstractItemView* list)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QStringLiteral("txtSearch"));
    box->setPlaceholderText(QStringLiteral("Search"));
    box->setClearButtonEnabled(true);
    box->setAccessibleName(accessibleName);
    box->installEventFilter(new ListKeys(box, list));
    return box;
}
