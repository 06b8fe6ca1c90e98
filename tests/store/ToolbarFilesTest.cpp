#include "store/LineReader.h"
#include "store/Store.h"

#include "../support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Code = StoreMessage::Code;
// Spelled out as the files of earlier releases hold them: a change in the program's
// headers would turn every existing file into one of another version.
const std::string CfgHead = "Quorrelind's Vyrelight Toolbars v2_[A1]\r\n";
const std::string VtbHead = "Quorrelind's Vyrelight Toolbar v2_[A1]\r\n";
const std::string DefaultLine = "Default;1200;1200;;;0;0;0;-1;-1;0;0;\r\n";

// Toolbars.cfg (cfg true) or a toolbar file, read into and written from set and tbr.
class Files : public ::testing::Test {
protected:
    void SetUp() override { tbr.Path = dir.file("Tools.vtb"); }
    std::string path(bool cfg) const { return cfg ? dir.file("Toolbars.cfg") : tbr.Path; }
    StoreMessages read(bool cfg, const std::string& bytes)
    {
        writeBytes(path(cfg), bytes);
        return cfg ? ReadCfg(set, dir.path) : ReadBtns(tbr);
    }

    TempDir dir;
    ToolbarSet set;
    TbrRec tbr;
};

TEST_F(Files, MissingFilesAreCreatedWithAVisibleDefaultToolbarAndNoButtons)
{
    tbr.BtnCount = 5;
    ASSERT_TRUE(ReadCfg(set, dir.path).empty() && ReadBtns(tbr).empty());
    EXPECT_EQ(readBytes(path(true)) + readBytes(tbr.Path), CfgHead + DefaultLine + VtbHead);
    EXPECT_EQ(std::tuple(set.count(), set.Tbrs[0].Path, set.Tbrs[0].Visible, tbr.BtnCount),
              std::tuple(1, dir.file("Default.vtb"), True16, 0));
}

TEST_F(Files, EveryFileIsWrittenBackInItsOneForm)
{
    const std::string a = "A;1;2;;;0;0;0;0;0;0;0;", b = "B;3;4;b.vtb;;0;0;0;0;0;0;0;", ab = CfgHead + a + "\r\n" + b + "\r\n";
    const std::string g = "Gimp;/usr/bin/gimp;-n \"a b\";1;/i.ico;3;", gg = VtbHead + g + "\r\n" + g + "\r\n";
    const std::string bom = "\xEF\xBB\xBF";
    const struct { bool cfg; std::string in, out; } rows[] = { // out empty: written as read
        {true, CfgHead + "D\xc3\xa9" "faut;-300;0;;/i c\xf4ns/x.ico;2;-1;-1;-1;-1;-1;-1;\r\n"
                         "\xe6\x97\xa5;1.5;435.1;/b\xff/\xe6\x97\xa5.vtb;\x01\x7f;-32768;0;0;0;0;0;0;\r\n", ""},
        {true, CfgHead + a + "\r\n\r\n   \r\n" + b + "\r\n", ab}, // blank lines take no index
        {true, CfgHead + a + "\r\r\r" + b + "\r", ab},
        {true, CfgHead + "Main;1;2;/elsewhere/Main.vtb;;0;-1;0;0;-1;0;1;\r\n" + b + "\r\n", // toolbar 0 names no file
         CfgHead + "Main;1;2;;;0;-1;0;0;-1;0;-1;\r\n" + b + "\r\n"},
        {false, VtbHead, ""},
        {false, VtbHead + "\xe6\x97\xa5;/opt/\xff\xfe/x;--a=\"b c\";3;/ic\xc3\xb4n.ico;-32768;\r\n;;;4;;0;\r\n"
                          "\x01;\x7f;\t;1;\t;32767;\r\n", ""},
        {false, VtbHead + "\r\n" + g + "\n\n\r" + g + "\r\r\n", gg}, // empty lines are skipped
        {false, VtbHead + g + "\r\nBlank; \t;;1;;0;\r\n;;;4;;0;\r\n", VtbHead + g + "\r\n;;;4;;0;\r\n"}, // not the separator
        {false, VtbHead + "a;x;;&H3;;2.5;\r\nb;x;; 1e0 ;;  -7 ;ignored\r\nc;x;;2.5;;abc;\r\n", // numbers in their one form
         VtbHead + "a;x;;3;;2;\r\nb;x;;1;;-7;\r\nc;x;;2;;0;\r\n"},
        // A header after a byte order mark or before blanks is accepted and written back plain.
        {true, bom + msg::CfgHeader + " \t\n" + DefaultLine, CfgHead + DefaultLine},
        {false, bom + msg::VtbHeader + "  \r\n" + g + "\r\n", VtbHead + g + "\r\n"},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(read(row.cfg, row.in).empty()) << row.in;
        ASSERT_TRUE((row.cfg ? WriteCfg(set, dir.path) : WriteBtns(tbr)).empty());
        EXPECT_EQ(readBytes(path(row.cfg)), row.out.empty() ? row.in : row.out);
    }
}

// A wrong header loads nothing and keeps the file; the message shows what looks alike
// escaped (shown, where it differs from the line).
TEST_F(Files, WrongHeaderLoadsNothingKeepsTheFileAndShowsWhatLooksAlikeEscaped)
{
    const std::string cfgLine = msg::CfgHeader, vtbLine = msg::VtbHeader;
    const struct { bool cfg; std::string first, shown{}; } rows[] = {
        {true, vtbLine}, {true, "\xEF\xBB\xBF\xEF\xBB\xBF" + cfgLine, "\\uFEFF\\uFEFF" + cfgLine}, // one mark is allowed, not two
        {true, " Quorrelind's\xE2\x80\x8BVyrelight\tToolbars\x01", "\\x20Quorrelind's\\u200BVyrelight\\tToolbars\\x01"},
        {true, "Version 1 \xc3\xa9t\xc3\xa9"}, // letters stay letters
        {false, vtbLine + "\x0c"}, {false, cfgLine},
    };
    for (const auto& row : rows) {
        const std::string body = row.first + "\r\n" + DefaultLine;
        const StoreMessages m = read(row.cfg, body);
        EXPECT_EQ(m, StoreMessages{row.cfg ? msg::cfgVersion(row.first) : msg::vtbVersion(tbr.Path)});
        const std::string text = msg::render(m.at(0)).text;
        if (row.cfg) {
            EXPECT_EQ(text.substr(text.rfind("File Version: ") + 14), row.shown.empty() ? row.first : row.shown);
        }
        // A set that was never loaded is never written over the user's file.
        EXPECT_TRUE(WriteCfg(set, dir.path).empty());
        EXPECT_EQ(std::tuple(row.cfg ? set.count() : tbr.BtnCount, readBytes(path(row.cfg)), readBytes(path(row.cfg) + ".bak")),
                  std::tuple(0, body, body));
        std::filesystem::remove(path(row.cfg) + ".bak");
    }
}

// Where the copy of a file the next save may cut short cannot be made, the message says
// so: the user is the last one who can still save the file.
TEST_F(Files, ACopyThatCannotBeKeptIsReported)
{
    const std::string wrong = "Another version\r\n" + DefaultLine, bad = VtbHead + "A;/bin/a;;1;;0;\r\nnot a button\r\n";
    for (auto [cfg, body] : {std::pair(true, wrong), {false, wrong}, {false, bad}}) {
        // Every name the copy could take is held by a folder.
        for (int k = 1; k < 100; ++k)
            std::filesystem::create_directory(path(cfg) + ".bak" + (k == 1 ? "" : std::to_string(k)));
        const StoreMessages m = read(cfg, body);
        EXPECT_NE(m.at(0).reason.find("no copy of " + path(cfg)), std::string::npos) << m[0].reason;
    }
    // With room for it, the copy is made and nothing is said about it.
    std::filesystem::remove(path(true) + ".bak");
    EXPECT_EQ(read(true, "Another version\r\n")[0].reason, "");
}

TEST_F(Files, UnreadableFileIsAReadErrorThatSaysWhyAndLoadsNothing)
{
    std::filesystem::create_directories(dir.file("sub/Toolbars.cfg"));
    tbr.Name = "Tools";
    const std::string cfg = dir.file("Toolbars.cfg");
    const struct { bool cfg; std::string body, where, why; } rows[] = { // where: the data folder or the toolbar file
        {true, msg::CfgHeader, dir.path, cfg + " holds no toolbar line"},
        {true, "", dir.path, cfg + " is empty"},
        {true, "", dir.file("sub"), dir.file("sub/Toolbars.cfg") + " is not a file"},
        {false, "", "", "the toolbar \"Tools\" names no toolbar file"},
        {false, "", dir.file("none/x.vtb"), "cannot create " + dir.file("none/")},
    };
    for (const auto& row : rows) {
        writeBytes(row.cfg ? row.where + "/Toolbars.cfg" : row.where, row.body); // fails where no file can be
        tbr.Path = row.where;
        StoreMessages m = row.cfg ? ReadCfg(set, row.where) : ReadBtns(tbr);
        ASSERT_EQ(m.size(), 1u) << row.why;
        EXPECT_EQ(std::tuple(m[0].code, m[0].reason.substr(0, row.why.size()), row.cfg ? set.count() : tbr.BtnCount),
                  std::tuple(row.cfg ? Code::R_0001 : Code::R_0003, row.why, 0));
    }
}

TEST_F(Files, CfgFieldThatIsMissingOrDoesNotConvertLeavesTheEmptyValueEvenInAReusedRecord)
{
    const struct { const char* line; float top, left; int icon; const char* modes; } rows[] = {
        {"Main;1;2;/elsewhere/Main.vtb;;0;-1;0;0;-1;0;1;", 1, 2, 0, "100101"}, // a 1 reads as on
        {"D;", 0, 0, 0, "000000"}, {"Short;300;", 300, 0, 0, "000000"},
        {"NoLast;1;2;p;i;3;-1;-1;-1;-1;-1;-1", 1, 2, 3, "111110"}, // a field needs its ';'
        {"Bad;abc;1e2;p;i;abc;x;&H1;0;7;0;0;tail", 0, 100, 0, "010100"},
        {"Icon;0;0;p;i;2.5;0;0;0;0;0;0;", 0, 0, 2, "000000"}, {"Huge;1e39;-1e39;p;i;40000;0;0;0;0;0;0;", 0, 0, 0, "000000"},
    };
    std::string full = CfgHead, body = CfgHead;
    for (const auto& row : rows) {
        full += "Full;9;9;/f.vtb;f.ico;9;-1;-1;-1;-1;-1;-1;\r\n";
        body += row.line + std::string("\r\n");
    }
    ASSERT_TRUE(read(true, full).empty());
    ASSERT_TRUE(read(true, body).empty());
    ASSERT_EQ(set.count(), 7);
    for (int t = 0; t < 7; ++t) {
        const TbrRec& r = set.Tbrs[t];
        std::string modes;
        for (int m = 0; m < ModeCount; ++m)
            modes += r.mode(m) == True16 ? '1' : r.mode(m) == False16 ? '0' : '?';
        EXPECT_EQ(std::tuple(r.Top, r.Left, int(r.IconIndex), modes, r.Path),
                  std::tuple(rows[t].top, rows[t].left, rows[t].icon, rows[t].modes,
                             t == 0 ? dir.file("Default.vtb") : t < 3 ? "" : "p")) // toolbar 0's file is in the data folder
            << rows[t].line;
    }
}

TEST_F(Files, CfgTextFieldsCannotBreakTheLineStructureAndATrueFlagIsWrittenAsMinusOne)
{
    ASSERT_TRUE(ReadCfg(set, dir.path).empty());
    set.RedimTbrs(1);
    set.TbrLast = 1;
    TbrRec& t = set.Tbrs[1];
    std::tie(t.Name, t.Path, t.Top, t.AutoHide) = std::tuple("a;b\r\nc", "/x;y.vtb", 10.0f, Bool16(1));
    ASSERT_TRUE(WriteCfg(set, dir.path).empty());
    EXPECT_EQ(readBytes(path(true)), CfgHead + DefaultLine + "a,b  c;10;0;/x,y.vtb;;0;0;0;0;0;-1;0;\r\n");
}

TEST_F(Files, CfgLoadsTheFirst256ToolbarsAndKeepsTheWholeFileOnce)
{
    std::string body = CfgHead;
    for (int i = 0; i < 300; ++i)
        body += "T;" + std::to_string(i) + ";0;t.vtb;;0;0;0;0;-1;0;0;\r\n";
    EXPECT_EQ(read(true, body), StoreMessages{msg::tooManyToolbars(44, path(true) + ".bak")});
    ASSERT_EQ(std::pair(int(set.TbrLast), set.Tbrs[255].Top), std::pair(255, 255.0f));
    ASSERT_TRUE(WriteCfg(set, dir.path).empty());
    EXPECT_EQ(read(true, body).size(), 1u); // the same file is kept once
    EXPECT_EQ(std::pair(readBytes(path(true) + ".bak"), std::filesystem::exists(path(true) + ".bak2")), std::pair(body, false));
}

// A malformed button line stops the reading: the buttons before it and what was read of it
// stay, and the whole file is kept before a save can shorten it.
TEST_F(Files, VtbMalformedButtonLineStopsTheReadingWithTheFileKept)
{
    const struct { const char* line; const char* exe; int kind; } rows[] = {
        {"Bad;/x;;1;/i.ico;5", "/x", 1}, // no last ";"
        {"Bad;/x;;256;;0;", "/x", 0}, {"Bad;/x;;;;0;", "/x", 0}, {"Bad;/x;;1;;32768;", "/x", 1}, {"Bad", "", 0},
        {"  ", "", 0}, // blanks are not an empty line
    };
    for (const auto& row : rows) {
        const std::string body = VtbHead + "One;/bin/one;;1;;0;\r\n" + row.line + "\r\nThree;/bin/3;;1;;0;\r\n";
        const std::string bak = tbr.Path + ".bak";
        EXPECT_EQ(read(false, body), StoreMessages{msg::fileError(Code::R_0003, tbr.Path + ", line 3: not a button line; "
                                                                                "the complete file was kept as " + bak)});
        ASSERT_EQ(tbr.BtnCount, 2) << row.line;
        const BtnRec& b = tbr.Btns[2];
        EXPECT_EQ(std::tuple(b.Executable, int(b.Kind), int(b.IconIndex)), std::tuple(row.exe, row.kind, 0)) << row.line;
        ASSERT_TRUE(WriteBtns(tbr).empty());
        EXPECT_EQ(readBytes(bak), body);
        std::filesystem::remove(bak);
    }
}

TEST_F(Files, VtbHoldsFortyButtonsAndAFortyFirstIsAReadError)
{
    auto buttons = [](int n, std::string lines = VtbHead) {
        for (int k = 1; k <= n; ++k)
            lines += "B" + std::to_string(k) + ";/bin/b;;1;;0;\r\n";
        return lines;
    };
    EXPECT_TRUE(read(false, buttons(40)).empty());
    EXPECT_EQ(tbr.BtnCount, 40);
    for (auto [bytes, why] : {std::pair(buttons(41), "line 42: more than 40 buttons"),
                              std::pair(buttons(39) + "Bad\r\n", "line 41: not a button line")}) {
        const StoreMessages m = read(false, bytes);
        EXPECT_EQ(std::pair(m.at(0).reason.substr(0, m[0].reason.find(';')), tbr.Btns[39].Name),
                  std::pair(tbr.Path + ", " + why, std::string("B39")));
    }
}

// A toolbar's file is read on first use only, and a record never read is never written:
// it would replace the user's buttons with none.
TEST_F(Files, ButtonsAreReadOnFirstUseOnceAndAnUnreadRecordIsNeverWritten)
{
    const std::string one = VtbHead + "One;/bin/one;;1;;0;\r\n";
    writeBytes(tbr.Path, one);
    set.Tbrs = {tbr, tbr};
    set.Tbrs[1].Path = dir.file("gone/Gone.vtb");
    EXPECT_EQ(WriteBtns(set.Tbrs[0]).at(0).code, Code::W_0004);
    std::vector<std::string> told;
    set.onFirstRead = [&](const TbrRec& rec, const StoreMessages&) { told.push_back(rec.Path); };
    for (const std::string& bytes : {one, VtbHead}) { // the second use does not read again
        writeBytes(tbr.Path, bytes);
        EXPECT_EQ(std::pair(set.withButtons(0).Btns[1].Name, set.withButtons(1).BtnCount), std::pair(std::string("One"), std::uint8_t(0)));
    }
    EXPECT_EQ(told, std::vector<std::string>{set.Tbrs[1].Path});
    ASSERT_TRUE(WriteBtns(set.Tbrs[0]).empty());
    EXPECT_EQ(readBytes(tbr.Path), one);
}

std::vector<std::string> splitWithReader(std::string_view bytes)
{
    std::vector<std::string> lines;
    LineReader reader(bytes);
    for (std::string_view line; reader.next(line);)
        lines.emplace_back(line);
    return lines;
}

// A line ends at the first CR or LF, and an LF right after a CR belongs to the same
// line end: each end is found once, none skipped over, also far from the last.
// A record's buttons are made on first write; until then they read as empty ones. Copies
// are snapshots of their own, whatever each side held: a failed save rolls back to one.
TEST(ButtonArray, UnmadeButtonsReadEmptyCopiesStandAloneAndAtStopsPastTheLast)
{
    const ButtonArray none;
    EXPECT_EQ(std::tuple(none[1].Name, none.at(MaxButtons).Executable, none[MaxButtons].Kind), std::tuple("", "", 0));
    ButtonArray a;
    a[3].Name = "Three";
    ButtonArray made;
    made[1].Name = "One";
    ButtonArray copied(a), unmade, reset(a);
    unmade = a;
    made = a;
    reset = none;
    a[3].Name = "Changed";
    auto names = [](const ButtonArray& b) { return b[1].Name + "/" + b[3].Name; };
    EXPECT_EQ((std::vector{names(a), names(copied), names(unmade), names(made), names(reset)}),
              (std::vector<std::string>{"/Changed", "/Three", "/Three", "/Three", "/"}));
    EXPECT_THROW((void)none.at(MaxButtons + 1), std::out_of_range);
    EXPECT_THROW((void)a.at(ButtonArray::size()), std::out_of_range);
}

TEST(LineReader, EveryKindOfLineEndAndTheirMixtures)
{
    EXPECT_EQ(splitWithReader("a\rb\nc\r\n\n\rd"), (std::vector<std::string>{"a", "b", "c", "", "", "d"}));
    EXPECT_EQ(splitWithReader("\r\r\nx;\t\r\n\r\r" + std::string(70, 'y') + "\n\n\r\r\n"),
              (std::vector<std::string>{"", "", "x;\t", "", "", std::string(70, 'y'), "", "", ""}));
}

} // namespace
