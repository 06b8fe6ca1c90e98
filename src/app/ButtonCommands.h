#pragma once

#include "editors/ButtonEditor.h"
#include "editors/ButtonEditorHost.h"
#include "platform/Services.h"
#include "store/Messages.h"
#include "store/ToolbarSet.h"

#include "platform/OwnedWindow.h"
#include <QString>

#include <cstdint>
#include <functional>

class ApplicationChooser;
class ConfigWindow;
class IconPicker;
class ToolbarManager;

// The configuration window's commands on buttons: the button editor for adding and
// editing, deleting after the user confirmed, and the exchange of two buttons that the
// position bar asks for. Each change is saved to the toolbar's file at once and shown by
// the toolbar's window and the configuration window's list; a change the file did not
// take is put back, so set, file and windows never disagree.
class ButtonCommands final : public ButtonEditorHost {
public:
    // report shows what the store said (App::show).
    ButtonCommands(ToolbarSet& set, Services services, ConfigWindow& cfg, ToolbarManager& toolbars,
                   IconPicker& icons, std::function<void(const StoreMessages&)> report);
    ~ButtonCommands() override;

    // Opens the button editor over the configuration window, which keeps its selections
    // while the editor is open; returns at once. An editor already open comes forward
    // instead, keeping what was typed into it.
    void add(std::uint8_t t);
    void edit(std::uint8_t t, int k);
    // Opens "Add Button" without blocking anything, with target taken as a dropped file.
    // OK then adds to the toolbar chosen in the configuration window at that moment.
    // An editor already open takes the target instead, keeping what was typed in it.
    void addFromFile(const QString& target);
    // Asks, then removes button k of toolbar t; the buttons after it move up one place.
    void remove(std::uint8_t t, int k);
    // Exchanges buttons a and b of toolbar t, whole records; false when they stay.
    bool exchange(std::uint8_t t, int a, int b);
    // Moves button k of toolbar t to the place of button to: one exchange with the next
    // button the toolbar shows per step, each saved and shown, as the position bar steps.
    // A step the file did not take ends the move there. False when nothing moved.
    bool move(std::uint8_t t, int k, int to);

    // The installed applications the editor offers as targets.
    void setApplicationChooser(ApplicationChooser& chooser) { m_applications = &chooser; }

    // The open button editor, if one is.
    ButtonEditor* editor() const { return m_editor.get(); }
    bool editorVisible() const;
    // True while an editor opened from the configuration window is open: it writes to
    // the toolbar and button chosen there, so the window must not be turned to another
    // toolbar meanwhile.
    bool holdsConfig() const;

    // ButtonEditorHost
    bool storeButton(ButtonPurpose purpose, const BtnRec& button) override;

private:
    // A new editor; none when one is open already (it is brought forward).
    ButtonEditor* openEditor(ButtonPurpose purpose);
    bool hasButton(std::uint8_t t, int k) const;
    // Saves toolbar t's file after a change of its buttons and shows the result (the
    // window, and the list unless its owner refills it); when the file could not be
    // written, puts back the buttons of before and says so.
    enum class List { Refill, LeaveToWindow };
    bool save(std::uint8_t t, const TbrRec& before, List list = List::Refill);

    ToolbarSet& m_set;
    Services m_services;
    ConfigWindow& m_cfg;
    ToolbarManager& m_toolbars;
    IconPicker& m_icons;
    std::function<void(const StoreMessages&)> m_report;
    OwnedWindow<ButtonEditor> m_editor;
    ApplicationChooser* m_applications{nullptr};
};
