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

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

inline const std::string CfgHeader = "Quorrelind's Vyrelight Toolbars v2_[A1]\r\n";
inline const std::string VtbHeader = "Quorrelind's Vyrelight Toolbar v2_[A1]\r\n";
// The default toolbar's line as a user's set holds it: visible, its file composed.
inline const std::string DefaultLine = "Default;1500;1500;;;0;0;0;-1;-1;0;0;\r\n";

// One program button's line of a toolbar file (a separator when asked).
inline std::string btnLine(const std::string& name, bool separator = false)
{
    return separator ? ";;;4;;0;\r\n" : name + ";/bin/" + name + ";;1;;0;\r\n";
}

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
    // Launches with the configuration window open on toolbar t.
    void open(const std::string& lines = {}, int t = 0)
    {
        ASSERT_TRUE(launch(lines));
        app->showConfig(static_cast<std::uint8_t>(t));
    }
    // A control of the configuration window by its object name.
    template <typename W = QWidget>
    W* cfgChild(const QString& name)
    {
        W* w = app->config().findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    // Clicks the configuration window's command button i.
    void command(int i) { cfgChild<QPushButton>(QStringLiteral("btnCfg(%1)").arg(i))->click(); }
    // Presses OK (0) or Cancel (1) of an editor.
    static void press(QWidget* editor, int i = 0) { editor->findChild<QPushButton*>(QStringLiteral("btnCOM(%1)").arg(i))->click(); }
    // Types the texts into an editor's boxes in turn (a null text leaves its box) and presses OK.
    static void enter(QWidget* editor, const QStringList& texts)
    {
        for (int i = 0; i < texts.size(); ++i)
            if (!texts[i].isNull())
                editor->findChild<QLineEdit*>(QStringLiteral("txtNAME(%1)").arg(i))->setText(texts[i]);
        press(editor);
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
