#include "platform/Centre.h"

#include <QScreen>
#include <QWidget>

void centreOnItsScreen(QWidget& window)
{
    if (const QScreen* s = window.screen()) {
        QRect r(QPoint(), window.frameGeometry().size());
        r.moveCenter(s->availableGeometry().center());
        window.move(r.topLeft());
    }
}
