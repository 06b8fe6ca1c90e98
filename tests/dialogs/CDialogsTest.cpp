// The common-dialog wrapper over a scripted backend: what each dialog is asked, what
// comes back into the properties, and how cancels and failures show.
#include "dialogs/CDialogs.h"
#include "support/FakeDialogBackend.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <tuple>

namespace {

// The number and text a dialog's cancel was thrown with; none thrown: 0 and nothing.
std::pair<std::int32_t, QString> thrown(const std::function<void()>& show)
{
    try {
        show();
    } catch (const DialogCancelled& e) {
        return {e.number(), e.description()};
    }
    return {0, {}};
}

TEST(CDialogsFilter, PairsBecomeQtNameFiltersAndEveryFileMeansEveryFile)
{
    const struct { const char* filter; QStringList expected; } rows[] = {
        {"Executables (EXE, COM, BAT)|*.exe;*.com;*.bat|Text File (TXT)|*.txt|Document (DOC)|*.doc|All Files|*.*",
         {"Executables (EXE, COM, BAT) (*.exe *.com *.bat)", "Text File (TXT) (*.txt)", "Document (DOC) (*.doc)",
          "All Files (*)"}},
        // A blank before a bar stays in the description; a bar at the end adds nothing.
        {"Program Files (EXE) |*.exe|All files|*.*|", {"Program Files (EXE)  (*.exe)", "All files (*)"}},
        {"Spaced| *.x ; *.y ;", {"Spaced (*.x *.y)"}},
        {"Lone description", {}},
        {"A|*.a|Dangling", {"A (*.a)"}},
        {"No patterns||B|*.b", {"B (*.b)"}},
        {"", {}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CDialogs::nameFilters(QString::fromUtf8(row.filter)), row.expected) << row.filter;
}

class CDialogsTest : public ::testing::Test {
protected:
    FakeDialogBackend backend;
    CDialogs dlg{backend};
};

TEST_F(CDialogsTest, OpenAsksWithThePropertiesAndReturnsThePathAndItsTitle)
{
    dlg.setDialogTitle("Pick");
    dlg.setInitDir("/srv");
    dlg.setFilename("/srv/old.vtb");
    dlg.setFilter("V (VTB)|*.vtb|All Files|*.*");
    dlg.setFilterIndex(2);
    dlg.setDefaultExt(".vtb");
    dlg.setFlags(4);
    backend.choose("/home/u/my tools.v2.vtb");
    dlg.showOpen();

    ASSERT_EQ(backend.fileRequests.size(), 1u);
    const DialogBackend::FileRequest& r = backend.fileRequests[0];
    EXPECT_EQ(std::tuple(r.mode, r.title, r.folder, r.file, r.filterIndex, r.defaultSuffix, r.flags),
              std::tuple(DialogBackend::FileRequest::Mode::Open, "Pick", "/srv", "/srv/old.vtb", 1, "vtb", 4u));
    EXPECT_EQ(r.nameFilters, QStringList({"V (VTB) (*.vtb)", "All Files (*)"}));
    EXPECT_EQ(std::tuple(dlg.apiReturn(), dlg.extendedError(), dlg.filename(), dlg.fileTitle()),
              std::tuple(1, 0, "/home/u/my tools.v2.vtb", "my tools.v2.vtb"));
}

// A cancel, a failure or a name longer than the buffer leaves the names as they were; the
// bound excludes the terminator a buffer would need, and without one any length passes.
TEST_F(CDialogsTest, FileDialogNamesChangeOnlyWhenAPathThatFitsIsChosen)
{
    const QString deep = "/" + QString(400, 'd') + "/file";
    const struct { bool save; std::uint32_t error; int maxFileSize; std::optional<QString> chosen; bool taken; } rows[] = {
        {false, 0, 0, std::nullopt, false},          // plain cancel
        {true, 0, 0, std::nullopt, false},           // the same for saving
        {false, 0xFFFF, 0, std::nullopt, false},     // the dialog failed
        {false, 0, 10, QString("/a/long/name"), false}, // 12 bytes do not fit a buffer of 10
        {false, 0, 5, QString("/x/yz"), false},      // nor 5 in one of 5
        {false, 0, 6, QString("/x/yz"), true},
        {true, 0, 0, deep, true},
    };
    for (const auto& row : rows) {
        FakeDialogBackend b;
        CDialogs d(b);
        d.setFilename("keep");
        d.setFileTitle("title");
        d.setMaxFileSize(row.maxFileSize);
        if (row.chosen)
            b.choose(*row.chosen);
        else
            b.cancel(row.error);
        row.save ? d.showSave() : d.showOpen();
        using Mode = DialogBackend::FileRequest::Mode;
        EXPECT_EQ(std::tuple(b.fileRequests.at(0).mode, d.filename(), d.fileTitle() == "title", d.apiReturn(), d.extendedError()),
                  std::tuple(row.save ? Mode::Save : Mode::Open, row.taken ? *row.chosen : "keep", !row.taken, int(row.taken),
                             row.chosen && !row.taken ? CDialogs::BufferTooSmall : std::int32_t(row.error)));
    }
}

TEST_F(CDialogsTest, ColourTravelsRedInTheLowByteAndCancelIsAnErrorOnlyWhenAsked)
{
    dlg.setColor(0x00336699); // blue 0x33, green 0x66, red 0x99
    dlg.setFlags(2);
    backend.colors.push_back({QColor(1, 2, 3)});
    dlg.showColor();
    EXPECT_EQ(backend.colorsAsked.at(0), std::pair(QColor(0x99, 0x66, 0x33), 2u));
    EXPECT_EQ(std::tuple(dlg.color(), dlg.action(), dlg.apiReturn()), std::tuple(0x00030201, CDialogs::Color, 1));
    dlg.showColor(); // cancelled, CancelError false
    EXPECT_EQ(std::tuple(dlg.color(), dlg.apiReturn(), dlg.extendedError()), std::tuple(0x00030201, 0, 0));

    dlg.setCancelError(true);
    EXPECT_EQ(thrown([&] { dlg.showColor(); }), std::pair(-2147220610, QString("Cancel Pressed")));
    // A failure is no cancel: it is told by the extended error, never thrown.
    backend.colors.push_back({std::nullopt, 0xFFFF});
    EXPECT_EQ(thrown([&] { dlg.showColor(); }).first, 0);
    EXPECT_EQ(dlg.extendedError(), 0xFFFF);
}

// Font and printer: only what the wrapper promises of them, the font dialog's flags and
// that a cancel throws when asked while a value too large ends quietly.
TEST_F(CDialogsTest, FontLeavesFlags67CancelsThrowWhenAskedAndOversizedCopiesEndQuietly)
{
    dlg.setFlags(1);
    dlg.setCancelError(true);
    EXPECT_EQ(thrown([&] { dlg.showFont(); }).first, 2001);
    EXPECT_EQ(std::tuple(dlg.flags(), dlg.action()), std::tuple(67, CDialogs::Font));
    dlg.setCopies(40000);
    EXPECT_NO_THROW(dlg.showPrinter());
    EXPECT_EQ(std::tuple(backend.initialRanges.size(), dlg.apiReturn()), std::tuple(0u, 0));
    dlg.setCopies(1);
    EXPECT_THROW(dlg.showPrinter(), DialogCancelled);
}

} // namespace
