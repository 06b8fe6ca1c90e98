// Building a toolbar window from its record (pictures, buttons, place and size,
// captions) and switching its display modes.
#include "toolbar/ToolbarWindow.h"

#include "platform/IconSource.h"
#include "platform/LocalText.h"
#include "platform/Log.h"
#include "toolbar/ButtonStrip.h"
#include "toolbar/FoldGeometry.h"
#include "toolbar/ToolbarContext.h"
#include "toolbar/ToolbarHandle.h"
#include "toolbar/ToolbarHost.h"

#include <QAction>
#include <QScopedValueRollback>
#include <QtMath>

#include <string>
#include <vector>


// ---- Building

void ToolbarWindow::ensureBuilt()
{
    if (!m_built)
        rebuild();
}

void ToolbarWindow::rebuild()
{
    // A toolbar hidden at start has its file read when its window is first built.
    m_context.set.withButtons(m_index);
    buildImageList();
    buildButtons();
    refresh();
}

QPixmap ToolbarWindow::iconPicture(const std::string& file, std::int16_t index) const
{
    if (index < 1)
        return {};
    const qreal ratio = m_context.pictureRatio;
    return m_context.buttonPictures.picture(m_context.services.icons.draw(file, index - 1, qCeil(16 * ratio)), ratio);
}

QPixmap ToolbarWindow::targetPicture(const std::string& target) const
{
    if (target == RecallMarker)
        return m_context.recallPicture;
    if (isBlankLocal8Bit(target))
        return {};
    const qreal ratio = m_context.pictureRatio;
    return m_context.buttonPictures.picture(m_context.services.icons.drawTarget(target, qCeil(16 * ratio)), ratio);
}

void ToolbarWindow::buildImageList()
{
    // Every build step counts the window as built, so a fold within the build does not
    // start the build again.
    m_built = true;
    TbrRec& rec = record();
    const QPixmap own = iconPicture(rec.IconFile, rec.IconIndex);
    m_handle->setPicture(own); // none: the claws

    m_images.clearCustom();
    std::int16_t next = ImageList::FirstCustom;
    for (int k = 1; k <= rec.BtnCount; ++k) {
        BtnRec& b = rec.Btns.at(static_cast<std::size_t>(k));
        QPixmap icon = iconPicture(b.IconFile, b.IconIndex);
        // A button with no icon of its own shows what its target is. Only shown: the
        // record keeps its icon number 0.
        if (icon.isNull() && b.IconIndex < 1 && b.Kind != KindSeparator)
            icon = targetPicture(b.Executable);
        if (!icon.isNull()) {
            m_images.put(next, icon);
            b.ImageIndex = next++;
        } else {
            b.ImageIndex = b.Kind == KindFolder ? ImageList::FolderPicture : ImageList::FilePicture;
        }
    }
    m_strip->update();
}

void ToolbarWindow::showIdentityTexts()
{
    const QString name = textFromLocal8Bit(record().Name);
    setWindowTitle(name);
    // A first start explains itself: the handle is all a new user sees.
    m_handle->setToolTip(name + QStringLiteral("\nright-click for the menu, double-click to configure"));
}

void ToolbarWindow::showIdentity()
{
    showIdentityTexts();
    const TbrRec& rec = record();
    if (rec.IconIndex < 1 || isBlankLocal8Bit(rec.IconFile)) {
        m_handle->setPicture({}); // the claws
        return;
    }
    const QPixmap own = iconPicture(rec.IconFile, rec.IconIndex);
    if (!own.isNull())
        m_handle->setPicture(own);
}

void ToolbarWindow::buildButtons()
{
    m_built = true;
    TbrRec& rec = record();
    rec.SepCount = 0;
    const ButtonStrip::Batch batch(*m_strip);
    for (int n = m_strip->buttonCount() - ButtonStrip::FixedButtons; n > 0; --n)
        m_strip->removeButton(ButtonStrip::FirstButton);

    // Position 0 (unused) and the fixed buttons lead to no record button.
    std::vector<int> entries(ButtonStrip::FirstButton, 0);
    int skipped = 0;
    const bool captions = isTrue(rec.Captions);
    for (int k = 1; k <= rec.BtnCount; ++k) {
        const BtnRec& b = rec.Btns.at(static_cast<std::size_t>(k));
        const int p = k + ButtonStrip::FixedButtons - skipped;
        if (b.Kind == KindSeparator) {
            m_strip->addButton(p, ButtonStrip::Style::Gap, 0);
            ++rec.SepCount;
        } else if (isBlankButton(b)) {
            // Left out exactly as the toolbar file leaves it out, so what is shown now
            // is what comes back at the next start.
            ++skipped;
            continue;
        } else {
            m_strip->addButton(p, ButtonStrip::Style::Normal, b.ImageIndex);
            const QString name = textFromLocal8Bit(b.Name);
            if (captions)
                m_strip->setCaption(p, name);
            else
                m_strip->setToolTipText(p, name);
        }
        entries.push_back(k);
    }
    m_entries = std::move(entries);
}

void ToolbarWindow::refresh()
{
    m_built = true;
    applyCaptionStyle();
    place();
    m_folds->laidOut();
    syncMenu();
    const TbrRec& rec = record();
    showIdentityTexts();
    // While the button editor is open the windows keep their visibility.
    if (m_context.host.buttonEditorVisible())
        return;
    if (m_index == 0 || isTrue(rec.Visible))
        showWindow();
    else
        hide();
}

void ToolbarWindow::showWindow()
{
    // A window shown for the first time is made with its stacking already right.
    if (!testAttribute(Qt::WA_WState_Created))
        setTopmost(*this, isTrue(record().AlwaysOnTop));
    show();
}

void ToolbarWindow::place()
{
    m_built = true;
    // A fresh layout replaces whatever a fold in progress was doing.
    m_folds->stopFolding();
    TbrRec& rec = record();
    rec.Width = geometry::EmptyTwips;
    rec.Height = geometry::EmptyTwips;
    // A window brought back within reach stays there until its own place is reachable
    // again or the user moves it.
    const float left = m_rescued ? m_left : rec.Left;
    const float top = m_rescued ? m_top : rec.Top;
    if (rec.BtnCount == 0)
        moveTwips(left, top, geometry::EmptyTwips, geometry::EmptyTwips);
    else {
        moveTwips(left, top, m_width, m_height);
        sizeToButtons();
    }
    // Before the window is shown: a window manager may move a window that comes up
    // out of reach by a choice of its own, which would then count as the user's.
    if (m_context.keepWithinReach)
        m_context.keepWithinReach(*this);
}

void ToolbarWindow::sizeToButtons()
{
    m_built = true;
    TbrRec& rec = record();
    const int count = m_strip->buttonCount() - ButtonStrip::FixedButtons;
    const int separators = rec.SepCount;
    const bool vertical = isTrue(rec.Vertical);
    const float bw = m_strip->buttonWidth();
    m_strip->setWrappable(vertical);
    m_strip->setWidthTwips(vertical || count == 0 ? bw
                                                  : geometry::stripLength(bw, count - separators, separators));
    const geometry::Size size = geometry::windowSize(vertical, bw, m_strip->buttonHeight(),
                                                     m_strip->heightTwips(), count, separators);
    moveTwips(m_left, m_top, size.width, size.height);
    rec.Width = size.width;
    // A standing window's record keeps the height of a bare handle.
    if (!vertical)
        rec.Height = size.height;
}

void ToolbarWindow::applyCaptionStyle()
{
    m_built = true;
    m_strip->setCaptionsShown(isTrue(record().Captions));
}

void ToolbarWindow::applyCaptions()
{
    const TbrRec& rec = record();
    const bool captions = isTrue(rec.Captions);
    const ButtonStrip::Batch batch(*m_strip);
    for (int c = ButtonStrip::FirstButton; c <= m_strip->buttonCount(); ++c) {
        const int k = entryAt(c);
        if (k < 1 || k > rec.BtnCount)
            continue;
        const QString name = textFromLocal8Bit(rec.Btns.at(static_cast<std::size_t>(k)).Name);
        m_strip->setToolTipText(c, captions ? QString() : name);
        m_strip->setCaption(c, captions ? name : QString());
    }
}

// ---- Modes

void ToolbarWindow::applyMode(int m)
{
    // A window that was shut down only waits to be deleted: a menu item or a queued
    // event that still reaches it changes nothing.
    if (m_shutDown || m < 0 || m >= ModeCount)
        return;
    if (m_context.modeChangeRunning) {
        qCInfo(lcVyre, "mode %d of toolbar %d: another mode change is still running", m, int(m_index));
        return;
    }
    const QScopedValueRollback running(m_context.modeChangeRunning, true);

    // A toolbar not built yet is built as it stands, then switched.
    ensureBuilt();
    Bool16& flag = record().mode(m);
    flag = isTrue(flag) ? False16 : True16;
    const bool on = isTrue(flag);
    if (QAction* item = modeAction(m))
        item->setChecked(on);
    ToolbarHost& host = m_context.host;
    if (m != Visible && host.configShows(m_index))
        host.setModeCheck(m, on);

    switch (m) {
    case Vertical:
        refresh();
        break;
    case Captions:
        applyCaptionStyle();
        applyCaptions();
        place();
        break;
    case AlwaysOnTop:
        setTopmost(*this, on);
        break;
    case Visible:
        // Toolbar 0 is always shown.
        if (on || m_index == 0)
            showWindow();
        else
            hide();
        if (host.configShows(m_index))
            host.setModeCheck(m, on);
        break;
    case AutoHide:
        m_folds->autoHideSwitched(on);
        break;
    default:
        break;
    }
    host.saveConfig();
}
