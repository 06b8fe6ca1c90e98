#pragma once

#include "config/ConfigActions.h"
#include "platform/DescriptorReserve.h"
#include "platform/OwnedWindow.h"
#include "platform/Services.h"
#include "store/Messages.h"
#include "store/ToolbarSet.h"
#include "toolbar/ToolbarHost.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <string>
#include <vector>

class AboutBox;
class ApplicationChooser;
class ButtonCommands;
class Clock;
class IconPicker;
class ConfigWindow;
class Launcher;
class ToolbarCommands;
class ToolbarManager;

// Owns the program's state: the services it was given, the data folder, the toolbar
// set and the windows. main() makes one; each test makes its own on a temporary folder
// with fake services, and two Apps never share anything.
//
// It is also where the windows meet: the toolbar windows and the configuration window
// only know the small interfaces below, and App carries out what they ask.
class App : public QObject, public ToolbarHost, public ConfigActions {
    Q_OBJECT
public:
    // clock paces folding and the auto-hide watch; null: real time.
    App(Services services, std::string dataFolder, Clock* clock = nullptr);
    ~App() override;

    // Start-up: makes the configuration window (hidden, its controls wait for its first
    // showing), reads the set and, in index order, the files of the toolbars on screen,
    // and builds their windows with their modes applied; a hidden toolbar's file is read
    // and its window built when first needed. False when no toolbar 0 could be read: the
    // program must end.
    bool start();
    // Before start(): the data folder cannot be written. The toolbars work, nothing is saved,
    // and start-up says so once.
    void setReadOnly();
    // Keeps the toolbars' captions in this file between runs (see ToolbarManager). Before start().
    void keepCaptions(std::string file) { m_captionFile = std::move(file); }
    // Saves Toolbars.cfg, closes every toolbar window and ends (emits finished()): the
    // toolbar menu's "Terminate", a signal or the session's end. Only the first call does
    // anything.
    void quit() override;

    ToolbarSet& set() { return m_set; }
    const std::string& dataFolder() const { return m_dataFolder; }
    bool ended() const { return m_ended; }
    // True when the save at the end did not write Toolbars.cfg: the process must not
    // report success then.
    bool endSaveFailed() const { return m_endSaveFailed; }
    // A command from the command line (see commandWords): "list", "press TOOLBAR BUTTON",
    // "toggle TOOLBAR" or "focus TOOLBAR". The answer: the exit status ("0", "1" or "2"), what goes to
    // standard output and the reason of a failure.
    std::vector<std::string> runCommand(const std::vector<std::string>& words);
    ConfigWindow& config() { return *m_cfg; }
    ToolbarManager& toolbars() { return *m_toolbars; }
    ButtonCommands& buttons() { return *m_buttons; }
    ToolbarCommands& toolbarCommands() { return *m_toolbarCommands; }

    // Shows what the store reported, in order, through the prompter.
    void show(const StoreMessages& messages);

    // ToolbarHost
    bool configShows(std::uint8_t t) const override;
    void setModeCheck(int m, bool on) override;
    bool buttonEditorVisible() const override;
    bool takesHandleDrops() const override;
    void saveConfig() override;
    void showConfig(std::uint8_t t) override;
    void showAbout() override;
    void buttonClicked(std::uint8_t t, int k) override;
    void filesDropped(std::uint8_t t, int k, const std::vector<std::string>& items) override;
    void editButtonRequested(std::uint8_t t, int k) override;
    void deleteButtonRequested(std::uint8_t t, int k) override;
    void moveButtonRequested(std::uint8_t t, int k, int to) override;

    // ConfigActions
    void applyMode(std::uint8_t t, int m) override;
    QPixmap handlePicture(std::uint8_t t) override;
    void addButton(std::uint8_t t) override;
    void editButton(std::uint8_t t, int k) override;
    void deleteButton(std::uint8_t t, int k) override;
    void addToolbar() override;
    void editToolbar(std::uint8_t t) override;
    void deleteToolbar(std::uint8_t t) override;
    bool exchangeButtons(std::uint8_t t, int a, int b) override;

signals:
    void finished();

private:
    // Writes Toolbars.cfg and shows what went wrong; false when it was not written.
    bool save();
    void tellReadOnly(const StoreMessage& message);
    // What reading a hidden toolbar's file on its first use had to say: shown, or given
    // to the command being answered.
    void firstReadSaid(const TbrRec& rec, const StoreMessages& said);
    void showLater(const StoreMessages& said);
    std::vector<std::string> answerCommand(const std::vector<std::string>& words);
    // True when an open button editor works on toolbar t's buttons: a change of them
    // from a toolbar would move its button from under it. The editor comes forward.
    bool editorHolds(std::uint8_t t);

    Services m_services;
    std::string m_dataFolder;
    std::string m_captionFile;
    ToolbarSet m_set;
    std::unique_ptr<Clock> m_realClock;
    Clock& m_clock;
    std::unique_ptr<ConfigWindow> m_cfg;
    std::unique_ptr<ToolbarManager> m_toolbars;
    std::unique_ptr<Launcher> m_launcher;
    std::unique_ptr<IconPicker> m_iconPicker;
    std::unique_ptr<ApplicationChooser> m_applications;
    std::unique_ptr<ButtonCommands> m_buttons;
    std::unique_ptr<ToolbarCommands> m_toolbarCommands;
    OwnedWindow<AboutBox> m_about;
    // Given back just before the save at the end, which must work whatever used up the
    // process's other descriptors.
    DescriptorReserve m_reserve;
    bool m_ended{false};
    bool m_endSaveFailed{false};
    bool m_readOnly{false};
    bool m_readOnlyTold{false};
    // While a command is answered: what the toolbar files read for it had to say.
    struct CommandReads {
        std::string lines; // for the answer, one clause a message
        StoreMessages said;
    };
    CommandReads* m_commandReads{nullptr};
};
