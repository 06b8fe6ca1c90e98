#pragma once

#include "store/TbrRec.h"
#include "toolbar/ImageList.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class ClawsPicture;
class QAction;
class QMenu;
class QMimeData;
class TBar;
class ToolbarWindows;

// One toolbar's window: a frameless tool window (no task-bar entry) holding the drag
// handle and the toolbar control, and the popup menu once it is first opened. Its
// record owns it.
//
// Geometry is kept in twips as floats, because the size and fold arithmetic is done in
// twips: reading gives back exactly what was set, and the native window follows at the
// rounded pixels. The window draws its own frame of 45 twips per side; the client area
// (where the control sits at 0,0 and the handle at 45,45) starts inside it.
class FTb : public QWidget, public TbrForm {
    Q_OBJECT
public:
    static constexpr float FrameTwips = 45.0f;
    static constexpr float ClawsTwips = 45.0f;      // the handle's left and top in the client area
    static constexpr float ClawsSideTwips = 255.0f;
    static constexpr float MenuAtTwips = 150.0f;    // where the popup menu opens in the client area
    // A window with the handle alone; a record of this size was not sized from buttons.
    static constexpr float EmptyTwips = 420.0f;

    FTb(ToolbarWindows& owner, std::uint8_t index);
    ~FTb() override;

    // The toolbar's index as decimal text; every handler finds its record through it.
    QString Tag;
    // The index the Tag names, when it names one of the set's toolbars.
    std::optional<std::uint8_t> index() const;

    float leftTwips() const { return m_left; }
    float topTwips() const { return m_top; }
    float widthTwips() const { return m_width; }
    float heightTwips() const { return m_height; }
    void setLeftTwips(float left);
    void setTopTwips(float top);
    void setWidthTwips(float width);
    void setHeightTwips(float height);
    void moveTwips(float left, float top, float width, float height);

    TBar& tbar() { return *m_tbar; }
    ImageList& imlTBAR() { return m_images; }
    ClawsPicture& claws() { return *m_claws; }
    const ClawsPicture& claws() const { return *m_claws; }
    QTimer& tmrWaitFade() { return m_tmrWaitFade; }

    // Which record button sits at a control position (0: none, as for the fixed buttons).
    int entryAt(int position) const;
    void setEntryMap(std::vector<int> entries) { m_entries = std::move(entries); }

    // Form-level state of dragging and auto-hide.
    bool Dragging{false};
    float GrabX{0.0f};
    float GrabY{0.0f};
    int FoldState{0}; // 0 new, 1 folded and ready to unfold, -1 unfolded by a hover and watched
    bool folding() const { return m_folding; }
    // True once the window was given a position (its twips geometry means something).
    bool placed() const { return m_placed; }
    // True once the toolbar's pictures, buttons and size were built into the window.
    bool built() const { return m_built; }

    // The popup menu, made when first needed (most toolbars never open theirs) and then
    // ticked from the record's modes.
    QMenu& menu();
    // The menu and its items: null until the menu is made.
    QMenu* C_mnuPOPUP{};
    QMenu* C_mnuMODES{};
    QAction* M_mnuVERT{};
    QAction* M_mnuCAP{};
    QAction* M_mnuAOT{};
    QAction* M_mnuVIS{};
    QAction* M_mnuAHIDE{};
    QAction* M_mnuUNMOVE{};
    QAction* C_mnuCFG{};
    QAction* Z_sep01{};
    QAction* C_mnuABOUT{};
    QAction* C_mnuEND{};
    // Mode item m; null for an unknown mode or before the menu is made.
    QAction* modeItem(int m) const;
    // Ticks the mode items from the record (and enables Visible for all but toolbar 0);
    // nothing to do before the menu is made.
    void syncMenu();

    // Handlers. Mouse positions are in twips relative to the handle, buttons are the
    // classic numbers (1 left, 2 right, 4 middle; a sum for a combination).
    void Claws_MouseDown(int button, int shift, float X, float Y);
    void Claws_MouseMove(int button, int shift, float X, float Y);
    void Claws_MouseUp(int button, int shift, float X, float Y);
    void Claws_DblClick();
    void Claws_OLEDragDrop(const QMimeData* data);
    void TBar_ButtonClick(int position);
    // X, Y: the drop point in twips relative to the control.
    void TBar_OLEDragDrop(const QMimeData* data, float X, float Y);
    void tmrWaitFade_Timer();
    void Form_Activate();

signals:
    // The twips geometry was set (each step of a fold sets it once).
    void geometryTwipsChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class ToolbarWindows;

    void buildMenu();
    void modeItemClicked(int m);
    void hoverCheck();
    void openPopupMenu();
    void applyGeometry();
    // The record the Tag names; throws when it names none.
    TbrRec& record() const;
    // The handle-relative position in twips of a point on the screen, from the window's
    // own twips position, so a drag never depends on when the window system catches up.
    QPointF clawsTwips(QPointF globalPixel) const;
    double perPixelX() const;
    double perPixelY() const;

    ToolbarWindows& m_owner;
    TBar* m_tbar{};
    ClawsPicture* m_claws{};
    ImageList m_images;
    QTimer m_tmrWaitFade;
    std::vector<int> m_entries;
    float m_left{0.0f};
    float m_top{0.0f};
    float m_width{0.0f};
    float m_height{0.0f};
    bool m_folding{false};
    bool m_placed{false};
    bool m_built{false};
    bool m_activating{false};
};
