#pragma once

// One whole program on a temporary data folder with fake services, and the files in it:
// what the program-level tests share.
#include "app/App.h"
#include "config/ConfigWindow.h"
#include "support/FakeDialogBackend.h"
#include "support/FakeIconSource.h"
#include "support/FakePointer.h"
#include "support/FakePrompter.h"
#include "support/FakeShell.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

inline const std::string CfgHeader = "Quorrelind's Vyrelight Toolbars v2_[A1]\r\n";
inline const std::string VtbHeader = "Quorrelind's Vyrelight Toolbar v2_[A1]\r\n";

struct AppWorld {
    std::string path(const std::string& name) const { return folder + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(path(name)); }

    // Makes the program, on these toolbar lines when there are; false when it must end.
    bool launch(const std::string& lines = {}, Clock* clock = nullptr)
    {
        if (!lines.empty())
            write("Toolbars.cfg", CfgHeader + lines);
        app = std::make_unique<App>(Services{prompter, shell, icons, pointer, dialogs}, folder, clock);
        return app->start();
    }
    // A control of the configuration window by its object name.
    template <typename W = QWidget>
    W* cfgChild(const QString& name)
    {
        W* w = app->config().findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }

    QTemporaryDir dir;
    std::string folder{dir.path().toStdString()};
    FakePrompter prompter;
    FakeShell shell;
    FakeIconSource icons;
    FakePointer pointer;
    FakeDialogBackend dialogs;
    std::unique_ptr<App> app;
};
