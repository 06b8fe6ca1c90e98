#pragma once

// Layouts that must fit their text whatever the desktop's font: the checks every dialog's
// tests share.
#include <QApplication>
#include <QFont>
#include <QRect>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

// Runs check with the application font at its own size, then 1.5 and 2 times it, and
// puts it back.
inline void atEveryFontScale(const std::function<void()>& check)
{
    const QFont saved = QApplication::font();
    for (const qreal factor : {1.0, 1.5, 2.0}) {
        SCOPED_TRACE(factor);
        QFont larger = saved;
        larger.setPointSizeF(saved.pointSizeF() * factor);
        QApplication::setFont(larger);
        check();
    }
    QApplication::setFont(saved);
}

// Every visible button, label and combo box inside window is as large as it asks to be,
// and lies inside the window.
inline void expectWholeTexts(const QWidget& window)
{
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible() || !(w->inherits("QAbstractButton") || w->inherits("QLabel") || w->inherits("QComboBox")))
            continue;
        EXPECT_TRUE(w->width() >= w->sizeHint().width() && w->height() >= w->sizeHint().height())
            << w->objectName().toStdString() << " is cut";
        EXPECT_TRUE(window.rect().contains(QRect(w->mapTo(&window, QPoint()), w->size())))
            << w->objectName().toStdString() << " runs out";
    }
}

// Where the named control (an empty name: the window itself), or what lies inside its
// border, is in window.
inline QRect placeIn(const QWidget& window, const QString& name, bool contents = false)
{
    const QWidget* w = name.isEmpty() ? &window : window.findChild<QWidget*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w ? (contents ? w->contentsRect() : w->rect()).translated(w->mapTo(&window, QPoint())) : QRect();
}

// Each control named lies inside frame's border (an empty frame: the window) and clear
// of the others.
inline void expectInsideApart(const QWidget& window, const QString& frame, const QStringList& controls)
{
    const QRect inside = placeIn(window, frame, true);
    for (int i = 0; i < controls.size(); ++i) {
        EXPECT_TRUE(inside.contains(placeIn(window, controls[i]))) << controls[i].toStdString() << " runs out";
        for (int j = 0; j < i; ++j)
            EXPECT_FALSE(placeIn(window, controls[i]).intersects(placeIn(window, controls[j])))
                << controls[i].toStdString() << " overlaps " << controls[j].toStdString();
    }
}
