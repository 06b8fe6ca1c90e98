#pragma once

#include "toolbar/ToolbarHost.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// Stands in for the configuration window and the program's commands: records every call.
class FakeToolbarHost final : public ToolbarHost {
public:
    // A request from a button's menu or a drag: what, toolbar, record button, and for a
    // move the record button whose place it takes.
    struct ButtonRequest {
        std::string what;
        int t;
        int k;
        int to;
        bool operator==(const ButtonRequest&) const = default;
    };
    struct Drop {
        int t;
        int k;
        std::vector<std::string> items;
        bool operator==(const Drop&) const = default;
    };

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
    void filesDropped(std::uint8_t t, int k, const std::vector<std::string>& items) override { drops.push_back({t, k, items}); }
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
