#pragma once

#include "FakeToolbarHost.h"
#include "platform/Services.h"
#include "store/ToolbarSet.h"
#include "support/FakeIconSource.h"
#include "support/FakePointer.h"
#include "support/FakePrompter.h"
#include "support/FakeShell.h"
#include "toolbar/ClawsPicture.h"
#include "toolbar/FTb.h"
#include "toolbar/TBar.h"
#include "toolbar/ToolbarWindows.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

inline BtnRec Btn(std::string name, std::string exe = "/bin/true", std::uint8_t kind = KindFile,
                  std::string iconFile = {}, std::int16_t iconIndex = 0)
{
    BtnRec b;
    b.Name = std::move(name);
    b.Executable = std::move(exe);
    b.Kind = kind;
    b.IconFile = std::move(iconFile);
    b.IconIndex = iconIndex;
    return b;
}

inline BtnRec Sep() { return Btn({}, {}, KindSeparator); }

// Three buttons and a separator: 1715 x 420 twips lying, 435 x 1670 standing.
inline const std::vector<BtnRec> ThreeAndASep{Btn("A"), Btn("B"), Sep(), Btn("C")};

// A set of toolbars with fake services; folds run without pauses.
class ToolbarTest : public ::testing::Test {
protected:
    ToolbarTest()
    {
        windows = std::make_unique<ToolbarWindows>(set, Services{prompter, shell, icons, pointer}, host);
        windows->setFoldPace({}, {});
    }
    ~ToolbarTest() override
    {
        set.Tbrs.clear(); // windows go before the routines they call
        windows.reset();
    }

    // Toolbar t with these buttons, at Left 3000, Top 1500 (200, 100 px), visible.
    TbrRec& toolbar(int t, const std::vector<BtnRec>& buttons = {})
    {
        if (set.Tbrs.size() <= std::size_t(t))
            set.RedimTbrs(std::size_t(t));
        if (set.TbrLast < t)
            set.TbrLast = std::uint8_t(t);
        TbrRec& rec = set.Tbrs[std::size_t(t)];
        rec.Name = "Toolbar " + std::to_string(t);
        rec.Left = 3000;
        rec.Top = 1500;
        rec.Visible = True16;
        rec.BtnCount = 0;
        for (const BtnRec& b : buttons)
            rec.Btns[++rec.BtnCount] = b;
        windows->form(std::uint8_t(t));
        return rec;
    }
    // The same, with these modes switched on, and its window built.
    FTb& built(int t, const std::vector<BtnRec>& buttons, std::initializer_list<int> modes = {})
    {
        TbrRec& r = toolbar(t, buttons);
        for (int m : modes)
            r.mode(m) = True16;
        windows->RebuildTbr(std::uint8_t(t));
        return form(t);
    }

    FTb& form(int t) { return windows->form(std::uint8_t(t)); }
    TbrRec& rec(int t) { return set.Tbrs[std::size_t(t)]; }

    // Sends a mouse event to the handle of toolbar t at a point of the screen (pixels).
    void mouse(int t, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint global)
    {
        ClawsPicture& claws = form(t).claws();
        const QPoint local = global - form(t).geometry().topLeft() - claws.pos();
        QMouseEvent event(type, QPointF(local), QPointF(global), button, held, {});
        QCoreApplication::sendEvent(&claws, &event);
    }
    // A point inside the handle, on the screen.
    QPoint grab(int t) { return form(t).geometry().topLeft() + form(t).claws().pos() + QPoint(5, 5); }
    // Left-drags the handle of toolbar t from one screen point to another.
    void drag(int t, QPoint from, QPoint to, bool release = true)
    {
        mouse(t, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, from);
        mouse(t, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, to);
        if (release)
            mouse(t, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, to);
    }

    FakePrompter prompter;
    FakeShell shell;
    FakeIconSource icons;
    FakePointer pointer;
    FakeToolbarHost host;
    ToolbarSet set;
    std::unique_ptr<ToolbarWindows> windows;
};
