#pragma once

#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

// Checks what a window tells the window manager: its type, a title with a close box or
// none, never a minimise or maximise box, and a size that is fixed already when the
// window is shown, before the window manager first sees it (one that sees a size able
// to grow offers a maximise box, and keeps offering it).
inline void expectFixedWindow(const QWidget& w, Qt::WindowType type, bool closeBox)
{
    SCOPED_TRACE(w.windowTitle().toStdString());
    const Qt::WindowFlags f = w.windowFlags();
    EXPECT_EQ(f & Qt::WindowType_Mask, type);
    EXPECT_TRUE(f.testFlag(Qt::CustomizeWindowHint)); // the boxes asked for, no others
    EXPECT_TRUE(f.testFlag(Qt::WindowTitleHint));
    EXPECT_EQ(f.testFlag(Qt::WindowCloseButtonHint), closeBox);
    EXPECT_FALSE(f & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_EQ(w.size(), w.minimumSize());
}

// Walks the tab order from the first control named and expects the others in turn,
// passing what takes no focus (and, with skipDisabled, what is off for now).
inline void expectTabOrder(const QWidget& window, const QStringList& order, bool skipDisabled = false)
{
    QWidget* w = window.findChild<QWidget*>(order.value(0));
    ASSERT_NE(w, nullptr) << order.value(0).toStdString();
    for (int i = 1; i < order.size(); ++i) {
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus || (skipDisabled && !w->isEnabled()))
            w = w->nextInFocusChain();
        EXPECT_EQ(w->objectName(), order[i]) << i;
    }
}

// The control of that name inside window; the test fails when there is none.
template <typename W = QWidget>
W* childOf(const QWidget* window, const QString& name)
{
    W* w = window ? window->findChild<W*>(name) : nullptr;
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}
