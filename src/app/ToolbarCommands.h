#pragma once

#include "editors/ToolbarEditorHost.h"
#include "editors/ToolbarFields.h"
#include "platform/OwnedWindow.h"
#include "platform/Services.h"
#include "store/Messages.h"
#include "store/ToolbarSet.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <string>

class ConfigWindow;
class IconPicker;
class ToolbarEditor;
class ToolbarManager;

// The configuration window's commands on toolbars: the toolbar editor for adding one
// and for renaming one or changing its icon, and deleting after the user confirmed.
// Each change is saved to Toolbars.cfg at once and shown by the toolbar windows and the
// configuration window.
class ToolbarCommands final : public QObject, private ToolbarEditorHost {
public:
    // report shows what the store said (App::show); ended tells that the program has
    // begun to end, after which nothing is changed any more.
    // icons: the picker the editor's icon button opens.
    ToolbarCommands(ToolbarSet& set, Services services, std::string dataFolder, ConfigWindow& cfg,
                    ToolbarManager& toolbars, IconPicker& icons, std::function<void(const StoreMessages&)> report,
                    std::function<bool()> ended);
    ~ToolbarCommands() override;

    // Opens the toolbar editor, modal over the configuration window only (the toolbars
    // stay usable); returns at once. Its OK carries the change out.
    void add();
    void edit(std::uint8_t t);
    // Asks, then removes toolbar t (never 0); the toolbars after it move down one index
    // with their windows. The toolbar's file stays on disk.
    void remove(std::uint8_t t);

    // The open toolbar editor, if one is.
    ToolbarEditor* editor() const;
    bool editorVisible() const;

private:
    void openEditor(ToolbarPurpose purpose, std::uint8_t t);
    // ToolbarEditorHost
    bool storeToolbar(ToolbarPurpose purpose, std::uint8_t t, const ToolbarFields& fields) override;
    void added(const ToolbarFields& fields);
    void edited(std::uint8_t t, const ToolbarFields& fields);
    void saveConfig();

    ToolbarSet& m_set;
    Services m_services;
    std::string m_dataFolder;
    ConfigWindow& m_cfg;
    ToolbarManager& m_toolbars;
    std::function<void(const StoreMessages&)> m_report;
    std::function<bool()> m_ended;
    IconPicker& m_icons;
    OwnedWindow<ToolbarEditor> m_editor;
};
