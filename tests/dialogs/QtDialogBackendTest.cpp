// Qt's file dialog behind the backend, driven from a timer while it runs: what it is
// opened with, and what comes back when it is accepted or cancelled; and where help goes.
#include "dialogs/PrinterModule.h"
#include "dialogs/QtDialogBackend.h"
#include "support/FakeShell.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs with the dialog the backend is about to wait on, once it is up.
void whenShown(std::function<void(QDialog&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

TEST(QtDialogBackend, OpenStartsAtTheProposedFileWithTheFiltersAndReturnsThePathChosen)
{
    QTemporaryDir dir;
    QFile(dir.filePath("tools.vtb")).open(QIODevice::WriteOnly);
    FakeShell shell;
    QtDialogBackend backend(shell);
    DialogBackend::FileRequest request;
    request.title = "Open a Vyrelight Toolbar File";
    request.file = dir.filePath("tools.vtb");
    request.nameFilters = QStringList{"V (*.vtb)", "All Files (*)"};
    request.filterIndex = 1;
    QStringList seen;
    whenShown([&](QDialog& d) {
        auto& files = static_cast<QFileDialog&>(d);
        seen = {files.windowTitle(), files.directory().absolutePath(), files.selectedNameFilter()};
        files.selectFile(dir.filePath("tools.vtb"));
        d.accept();
    });
    const DialogBackend::Choice<QString> chosen = backend.chooseFile(request);
    EXPECT_EQ(seen, QStringList({request.title, QDir(dir.path()).absolutePath(), "All Files (*)"}));
    ASSERT_TRUE(chosen.value);
    EXPECT_EQ(QFileInfo(*chosen.value).canonicalFilePath(), QFileInfo(dir.filePath("tools.vtb")).canonicalFilePath());

    whenShown([](QDialog& d) { d.reject(); });
    const DialogBackend::Choice<QString> cancelled = backend.chooseFile(request);
    EXPECT_TRUE(!cancelled.value && cancelled.error == 0u);
}

TEST(QtDialogBackend, ThePrinterDialogComesFromItsModuleWhereverItIsFound)
{
    EXPECT_EQ(loadPrinterDialog({"/nonexistent", QString::fromUtf8(VYRE_TEST_DATA)}), nullptr);
    const PrinterDialogEntry entry = loadPrinterDialog({"/nonexistent", QString::fromUtf8(VYRE_PRINTER_MODULE_DIR)});
    ASSERT_NE(entry, nullptr);
    bool shown = false;
    whenShown([&](QDialog& d) {
        shown = d.inherits("QPrintDialog");
        d.reject();
    });
    const DialogBackend::PrintRange initial{2, 3, 1, 9, 1};
    DialogBackend::PrintRange chosen;
    EXPECT_FALSE(entry(nullptr, &initial, 0, &chosen));
    EXPECT_TRUE(shown);
    // A program without its module says so instead of showing nothing.
    FakeShell shell;
    const DialogBackend::Choice<DialogBackend::PrintRange> none = QtDialogBackend(shell).choosePrinter(nullptr, initial, 0);
    EXPECT_TRUE(!none.value && none.error == 0x1006u);
}

TEST(QtDialogBackend, HelpGoesToTheDesktopHandler)
{
    FakeShell shell;
    QtDialogBackend backend(shell);
    EXPECT_TRUE(backend.showHelp("/usr/share/doc/vyre/help.html", 3));
    EXPECT_EQ(shell.calls, std::vector<std::string>{"link file:///usr/share/doc/vyre/help.html"});
    shell.failAll = true;
    EXPECT_FALSE(backend.showHelp("/usr/share/doc/vyre/help.html", 3));
    EXPECT_FALSE(backend.showHelp("  ", 3));
    EXPECT_EQ(shell.calls.size(), 2u);
}

} // namespace
