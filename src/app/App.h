#pragma once

#include "platform/Services.h"
#include "store/Messages.h"
#include "store/ToolbarSet.h"

#include <QObject>

#include <string>

// Owns the program's state: the services it was given, the data folder, the toolbar
// set and the windows. main() makes one; each test makes its own on a temporary folder
// with fake services, and two Apps never share anything.
class App : public QObject {
    Q_OBJECT
public:
    App(Services services, std::string dataFolder);
    ~App() override;

    // Start-up: reads the set and every toolbar file in index order and brings the
    // toolbars up. False when no toolbar 0 could be read: the program must end.
    bool Main();
    // Saves Toolbars.cfg, closes every toolbar window and ends (emits terminated()).
    // Safe to call more than once; only the first call does anything.
    void Terminate();

    ToolbarSet& set() { return m_set; }
    const std::string& dataFolder() const { return m_dataFolder; }
    bool ended() const { return m_ended; }

    // Shows what the store reported, in order, through the prompter.
    void show(const StoreMessages& messages);

signals:
    void terminated();

private:
    Services m_services;
    std::string m_dataFolder;
    ToolbarSet m_set;
    bool m_ended{false};
};
