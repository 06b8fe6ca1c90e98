#pragma once

// Layouts that must fit their text whatever the desktop's font: the checks every dialog's
// tests share.
#include <QApplication>
#include <QFont>
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
