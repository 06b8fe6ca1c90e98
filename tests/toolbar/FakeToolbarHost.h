#pragma once

#include "toolbar/ToolbarHost.h"

#include <vector>

// Stands in for the configuration window and the program's commands: records every call.
class FakeToolbarHost final : public ToolbarHost {
public:
    struct Drop {
        int t;
        int k;
        QStringList files;
    };

    QString busyMark() const override { return mark; }
    void setBusyMark(const QString& m) override { mark = m; }
    bool configShows(std::uint8_t) const override { return false; } // the App tests cover the ticks
    void setModeCheck(int, bool) override {}
    bool buttonEditorVisible() const override { return editorOpen; }
    QImage& imgTransfer() override { return transfer; }
    const QPixmap& imgClaws() const override { return claws; }

    void saveConfig() override
    {
        ++saves;
        markWhileSaving = mark;
    }
    void showConfig(std::uint8_t t) override { configShown.push_back(t); }
    void showAbout() override { ++abouts; }
    void terminate() override { ++terminations; }
    void buttonClicked(std::uint8_t t, int k) override { clicks.emplace_back(t, k); }
    void filesDropped(std::uint8_t t, int k, const QStringList& files) override { drops.push_back({t, k, files}); }

    QString mark = QStringLiteral("0");
    QString markWhileSaving;
    bool editorOpen = false;
    QImage transfer;
    QPixmap claws;

    int saves = 0;
    int abouts = 0;
    int terminations = 0;
    std::vector<int> configShown;
    std::vector<std::pair<int, int>> clicks;
    std::vector<Drop> drops;
};
