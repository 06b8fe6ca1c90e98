#pragma once

#include "platform/Services.h"
#include "store/ToolbarSet.h"
#include "support/FakeClock.h"
#include "support/FakeDialogBackend.h"
#include "support/FakeIconSource.h"
#include "support/FakePointer.h"
#include "support/FakePrompter.h"
#include "support/FakeShell.h"
#include "toolbar/ButtonStrip.h"
#include "toolbar/ToolbarHandle.h"
#include "toolbar/ToolbarHost.h"
#include "toolbar/ToolbarManager.h"
#include "toolbar/ToolbarWindow.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

inline BtnRec Btn(std::string name, std::string exe = "/bin/true", std::uint8_t kind = KindFile,
                  std::string iconFile = {}, std::int16_t iconIndex = 0)
{
    return {std::move(name), std::move(exe), {}, kind, std::move(iconFile), iconIndex};
}

inline BtnRec Sep() { return Btn({}, {}, KindSeparator); }

struct WithPointer {
    FakePointer pointer;
};
// A strip on its own: three buttons and a gap after the two fixed buttons, positions 3,
// 4, gap 5, 6. Synthesised drops never reach a widget through the event loop without a
// drag in progress, so the tests hand the events to the handlers themselves.
struct Strip : WithPointer, ButtonStrip {
    using ButtonStrip::dragEnterEvent;
    using ButtonStrip::dragLeaveEvent;
    using ButtonStrip::dragMoveEvent;
    using ButtonStrip::dropEvent;
    Strip() : ButtonStrip(pointer)
    {
        for (int p = 3; p <= 6; ++p)
            addButton(p, p == 5 ? Style::Gap : Style::Normal, 1);
    }
    QPoint centrePx(int position) const
    {
        const QPointF c = buttonRect(position).center();
        return QPoint(int(c.x() / 15), int(c.y() / 15));
    }
    void mouse(QEvent::Type type, Qt::MouseButton button, QPoint at)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
        QMouseEvent event(type, QPointF(at), QPointF(mapToGlobal(at)), button, held, {});
        QCoreApplication::sendEvent(this, &event);
    }
    void click(int position, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, button, centrePx(position));
        mouse(QEvent::MouseButtonRelease, button, centrePx(position));
    }
};

// How many pieces of text the process has laid out so far (captions measured, shaped for
// painting or drawn by the style): each needs a font.
int textShapings();

// Three buttons and a separator: 1715 x 420 twips lying, 435 x 1670 standing.
inline const std::vector<BtnRec> ThreeAndASep{Btn("A"), Btn("B"), Sep(), Btn("C")};

// Stands in for the configuration window and the program's commands: records every call.
class FakeToolbarHost final : public ToolbarHost {
public:
    // A request from a button's menu or a drag: what, toolbar, record button, and for a
    // move the record button whose place it takes.
    using ButtonRequest = std::tuple<std::string, int, int, int>;
    // The toolbar, the record button (0: the handle) and the items.
    using Drop = std::tuple<int, int, std::vector<std::string>>;

    bool configShows(std::uint8_t t) const override { return configOn == t; }
    void setModeCheck(int m, bool on) override { modeChecks.emplace_back(m, on); }
    bool buttonEditorVisible() const override { return editorOpen; }

    void saveConfig() override
    {
        ++saves;
        if (onSave)
            onSave();
    }
    void showConfig(std::uint8_t t) override { configShown.push_back(t); }
    void showAbout() override { ++abouts; }
    void quit() override { ++quits; }
    void buttonClicked(std::uint8_t t, int k) override { clicks.emplace_back(t, k); }
    void filesDropped(std::uint8_t t, int k, const std::vector<std::string>& items) override { drops.emplace_back(t, k, items); }
    void editButtonRequested(std::uint8_t t, int k) override { buttonRequests.push_back({"edit", t, k, 0}); }
    void deleteButtonRequested(std::uint8_t t, int k) override { buttonRequests.push_back({"delete", t, k, 0}); }
    void moveButtonRequested(std::uint8_t t, int k, int to) override { buttonRequests.push_back({"move", t, k, to}); }

    int configOn = -1; // the toolbar the configuration window shows; -1 none
    bool editorOpen = false;
    std::function<void()> onSave; // runs inside a save, as a message box would

    int saves = 0;
    int abouts = 0;
    int quits = 0;
    std::vector<std::pair<int, bool>> modeChecks;
    std::vector<int> configShown;
    std::vector<std::pair<int, int>> clicks;
    std::vector<Drop> drops;
    std::vector<ButtonRequest> buttonRequests;
};

// A set of toolbars with fake services and a clock that moves only when told to.
class ToolbarTest : public ::testing::Test {
protected:
    // Toolbar t with these buttons, at Left 3000, Top 1500 (200, 100 px), visible.
    TbrRec& toolbar(int t, const std::vector<BtnRec>& buttons = {})
    {
        if (set.Tbrs.size() <= std::size_t(t))
            set.RedimTbrs(std::size_t(t));
        if (set.TbrLast < t)
            set.TbrLast = std::uint8_t(t);
        TbrRec& rec = set.Tbrs[std::size_t(t)];
        rec = TbrRec{};
        rec.Name = "Toolbar " + std::to_string(t);
        rec.Left = 3000;
        rec.Top = 1500;
        rec.Visible = True16;
        rec.BtnsRead = true; // its buttons are the test's, no file's
        for (const BtnRec& b : buttons)
            rec.Btns[++rec.BtnCount] = b;
        return rec;
    }
    // The same, with these modes switched on, and its window built (folds finished).
    ToolbarWindow& built(int t, const std::vector<BtnRec>& buttons, const std::vector<int>& modes = {})
    {
        TbrRec& r = toolbar(t, buttons);
        for (int m : modes)
            r.mode(m) = True16;
        window(t).rebuild();
        clock.settle();
        return window(t);
    }

    ToolbarWindow& window(int t) { return toolbars.window(std::uint8_t(t)); }
    TbrRec& rec(int t) { return set.Tbrs[std::size_t(t)]; }
    QAction* item(int t, const char* name) { return window(t).menu().findChild<QAction*>(name); }

    // Sends a mouse event to the handle of toolbar t at a point of the screen (pixels).
    void mouse(int t, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint global)
    {
        ToolbarHandle& handle = window(t).handle();
        const QPoint local = global - window(t).geometry().topLeft() - handle.pos();
        QMouseEvent event(type, QPointF(local), QPointF(global), button, held, {});
        QCoreApplication::sendEvent(&handle, &event);
    }
    // A point inside the handle, on the screen.
    QPoint grab(int t) { return window(t).geometry().topLeft() + window(t).handle().pos() + QPoint(5, 5); }
    // The mouse passes over the handle of toolbar t.
    void hover(int t) { mouse(t, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, grab(t)); }
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
    FakeDialogBackend dialogs;
    FakeToolbarHost host;
    FakeClock clock;
    ToolbarSet set;
    ToolbarManager toolbars{set, Services{prompter, shell, icons, pointer, dialogs}, host, clock};
};
