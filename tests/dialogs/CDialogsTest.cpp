// The common-dialog wrapper over a scripted backend: what each dialog is asked, what
// comes back into the properties, and how cancels and failures show.
#include "dialogs/CDialogs.h"
#include "support/FakeDialogBackend.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(CDialogsFilter, PairsBecomeQtNameFiltersAndEveryFileMeansEveryFile)
{
    const struct {
        const char* filter;
        QStringList expected;
    } rows[] = {
        {"Executables (EXE, COM, BAT)|*.exe;*.com;*.bat|Text File (TXT)|*.txt|Document (DOC)|*.doc|All Files|*.*",
         {"Executables (EXE, COM, BAT) (*.exe *.com *.bat)", "Text File (TXT) (*.txt)", "Document (DOC) (*.doc)",
          "All Files (*)"}},
        {"A|*.a|B|*.b", {"A (*.a)", "B (*.b)"}},
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
    EXPECT_EQ(r.mode, DialogBackend::FileRequest::Mode::Open);
    EXPECT_EQ(r.title, "Pick");
    EXPECT_EQ(r.folder, "/srv");
    EXPECT_EQ(r.file, "/srv/old.vtb");
    EXPECT_EQ(r.nameFilters, QStringList({"V (VTB) (*.vtb)", "All Files (*)"}));
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(r.defaultSuffix, "vtb");
    EXPECT_EQ(r.flags, 4u);
    EXPECT_EQ(dlg.apiReturn(), 1);
    EXPECT_EQ(dlg.extendedError(), 0);
    EXPECT_EQ(dlg.filename(), "/home/u/my tools.v2.vtb");
    EXPECT_EQ(dlg.fileTitle(), "my tools.v2.vtb");
}

TEST_F(CDialogsTest, CancelledOrFailedFileDialogLeavesTheNamesAsTheyWere)
{
    const struct {
        bool save;
        std::uint32_t error;
        int maxFileSize;
        std::optional<QString> chosen; // what the dialog answered
    } rows[] = {
        {false, 0, 0, std::nullopt},              // plain cancel
        {true, 0, 0, std::nullopt},               // the same for saving
        {false, 0xFFFF, 0, std::nullopt},         // the dialog failed
        {false, 0, 10, QString("/a/long/name")},  // 12 bytes do not fit a buffer of 10
        {false, 0, 5, QString("/x/yz")},          // nor 5 in one of 5: the terminator needs one more
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
        EXPECT_EQ(d.filename(), "keep");
        EXPECT_EQ(d.fileTitle(), "title");
        EXPECT_EQ(d.apiReturn(), 0);
        EXPECT_EQ(d.extendedError(), row.chosen ? CDialogs::BufferTooSmall : std::int32_t(row.error));
    }
}

TEST_F(CDialogsTest, PathsLongerThanTheDefaultBufferPassWhenNoSizeIsSet)
{
    const QString deep = "/" + QString(400, 'd') + "/file";
    backend.choose(deep);
    dlg.showSave();
    EXPECT_EQ(backend.fileRequests.at(0).mode, DialogBackend::FileRequest::Mode::Save);
    EXPECT_EQ(dlg.filename(), deep);
    // The bound is exclusive of the terminator a buffer would need.
    CDialogs sized(backend);
    sized.setMaxFileSize(int(QString("/x/yz").size()) + 1);
    backend.choose("/x/yz");
    sized.showOpen();
    EXPECT_EQ(sized.filename(), "/x/yz");
}

TEST_F(CDialogsTest, ColourTravelsRedInTheLowByteAndCancelIsAnErrorOnlyWhenAsked)
{
    dlg.setColor(0x00336699); // blue 0x33, green 0x66, red 0x99
    dlg.setFlags(2);
    backend.colors.push_back({QColor(1, 2, 3)});
    dlg.showColor();
    EXPECT_EQ(backend.initialColors.at(0), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(backend.colorsAsked.at(0).flags, 2u);
    EXPECT_EQ(dlg.color(), 0x00030201);
    EXPECT_EQ(dlg.action(), CDialogs::Color);
    EXPECT_EQ(dlg.apiReturn(), 1);

    dlg.showColor(); // cancelled, CancelError false
    EXPECT_EQ(dlg.color(), 0x00030201);
    EXPECT_EQ(dlg.apiReturn(), 0);
    EXPECT_EQ(dlg.extendedError(), 0);

    dlg.setCancelError(true);
    try {
        dlg.showColor();
        ADD_FAILURE() << "no error";
    } catch (const DialogCancelled& e) {
        EXPECT_EQ(e.number(), -2147220610);
        EXPECT_EQ(e.description(), "Cancel Pressed");
    }
    // A failure is no cancel: it is told by the extended error, never thrown.
    backend.colors.push_back({std::nullopt, 0xFFFF});
    EXPECT_NO_THROW(dlg.showColor());
    EXPECT_EQ(dlg.extendedError(), 0xFFFF);
}

TEST_F(CDialogsTest, FontComesBackRoundedHalvesToEvenAndAlwaysLeavesFlags67)
{
    dlg.setFontBold(true);
    dlg.setFontUnderline(true);
    dlg.setFontSize(12);
    dlg.setFontName("Ignored");
    dlg.setFlags(1);
    const struct {
        double points;
        int expected;
    } sizes[] = {{10.5, 10}, {11.5, 12}, {9.26, 9}, {8.0, 8}};
    for (const auto& s : sizes) {
        QFont f("DejaVu Sans");
        f.setPointSizeF(s.points);
        f.setItalic(true);
        backend.fonts.push_back({f});
        dlg.showFont();
        EXPECT_EQ(dlg.fontSize(), s.expected) << s.points;
    }
    const QFont& asked = backend.initialFonts.at(0);
    EXPECT_TRUE(asked.bold());
    EXPECT_TRUE(asked.underline());
    EXPECT_FALSE(asked.italic());
    EXPECT_EQ(asked.pointSize(), 12);
    EXPECT_NE(asked.family(), "Ignored"); // the face is an answer, never a question
    EXPECT_EQ(dlg.fontName(), "DejaVu Sans");
    EXPECT_FALSE(dlg.fontBold());
    EXPECT_TRUE(dlg.fontItalic());
    EXPECT_EQ(dlg.flags(), 67);

    dlg.setFlags(0);
    dlg.setCancelError(true);
    try {
        dlg.showFont();
        ADD_FAILURE() << "no error";
    } catch (const DialogCancelled& e) {
        EXPECT_EQ(e.number(), 2001);
    }
    EXPECT_EQ(dlg.flags(), 67);
    EXPECT_EQ(dlg.action(), CDialogs::Font);
}

TEST_F(CDialogsTest, PrinterPagesGoBothWaysAndOversizedValuesEndQuietly)
{
    dlg.setFromPage(2);
    dlg.setToPage(5);
    dlg.setMin(1);
    dlg.setMax(9);
    dlg.setCopies(3);
    backend.printers.push_back({DialogBackend::PrintRange{3, 4, 1, 9, 2}});
    dlg.showPrinter();
    const DialogBackend::PrintRange& in = backend.initialRanges.at(0);
    EXPECT_EQ(std::tuple(in.fromPage, in.toPage, in.minPage, in.maxPage, in.copies), std::tuple(2, 5, 1, 9, 3));
    EXPECT_EQ(std::tuple(dlg.fromPage(), dlg.toPage(), dlg.min(), dlg.max(), dlg.copies()), std::tuple(3, 4, 1, 9, 2));
    EXPECT_EQ(dlg.action(), CDialogs::Printer);

    dlg.setCopies(40000);
    dlg.setCancelError(true);
    EXPECT_NO_THROW(dlg.showPrinter());
    EXPECT_EQ(backend.printersAsked.size(), 1u);
    EXPECT_EQ(dlg.apiReturn(), 0);

    dlg.setCopies(1);
    EXPECT_THROW(dlg.showPrinter(), DialogCancelled);
}

TEST_F(CDialogsTest, HelpOpensTheFileAndReportsWhetherItCould)
{
    dlg.setHelpFile("/usr/share/doc/x.html");
    dlg.setHelpCommand(3);
    dlg.showHelp();
    EXPECT_EQ(dlg.apiReturn(), 1);
    EXPECT_EQ(dlg.action(), CDialogs::Help);
    backend.helpOpens = false;
    dlg.showHelp();
    EXPECT_EQ(dlg.apiReturn(), 0);
    EXPECT_EQ(dlg.extendedError(), 0);
    ASSERT_EQ(backend.helpShown.size(), 2u);
    EXPECT_EQ(backend.helpShown[0], std::pair(QString("/usr/share/doc/x.html"), 3u));
}

} // namespace
