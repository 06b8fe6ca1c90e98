#include "store/Messages.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using Code = StoreMessage::Code;
using Style = StoreMessage::Style;

// Each message's title, style, details and the words that tell it from the others.
TEST(Messages, EachMessageRendersItsOwnWordsWithTheReasonAsDetails)
{
    const struct { StoreMessage message; const char* title; Style style; std::vector<std::string> words; } rows[] = {
        {msg::fileError(Code::R_0001, "why"), "Error", Style::Critical, {"Error#R_0001", "Configuration file reading"}},
        {msg::fileError(Code::W_0002, "why"), "Error", Style::Critical, {"Error#W_0002", "Configuration file writing"}},
        {msg::fileError(Code::R_0003, "why"), "Error", Style::Critical, {"Error#R_0003", "Toolbar reading"}},
        {msg::fileError(Code::W_0004, "why"), "Error", Style::Critical, {"Error#W_0004", "Toolbar writing"}},
        {msg::cfgVersion("Old header"), "Vyrelight Toolbar v2", Style::Exclamation, {"File Version: Old header"}},
        {msg::vtbVersion("/d/Tools.vtb"), "Vyrelight Toolbar v2", Style::Exclamation, {"File: /d/Tools.vtb\r\n"}},
        {msg::tooManyToolbars(1), "Vyrelight Toolbar v2", Style::Exclamation, {"; 1 further toolbar line was left"}},
        {msg::tooManyToolbars(44, "/d/T.bak"), "Vyrelight Toolbar v2", Style::Exclamation,
         {"; 44 further toolbar lines were left", "\r\nThe complete file was kept as /d/T.bak."}},
    };
    for (const auto& row : rows) {
        const RenderedMessage r = msg::render(row.message);
        EXPECT_EQ(std::tuple(r.title, r.style, r.details), std::tuple(row.title, row.style, row.message.reason));
        for (const std::string& words : row.words)
            EXPECT_NE(r.text.find(words), std::string::npos) << r.text;
    }
    EXPECT_LT(msg::render(msg::cfgVersion(std::string(1'000'000, 'x'))).text.size(), 1000u);
}

TEST(Messages, StartUpFailuresOfManyToolbarsComeInOneBoxNamingEachToolbarAndFile)
{
    std::vector<msg::ToolbarMessage> unread;
    for (int i = 1; i <= 30; ++i)
        unread.push_back({"T" + std::to_string(i), "/mnt/gone/t" + std::to_string(i) + ".vtb",
                          msg::fileError(Code::R_0003, "cannot read: No such device")});
    unread.insert(unread.begin() + 1, {"Old", "/bars/old.vtb", msg::vtbVersion("/bars/old.vtb")});
    const RenderedMessage r = msg::gather(unread);
    EXPECT_EQ(std::tuple(r.title, r.style), std::tuple("Error", Style::Critical));
    // Each kind's own words once, then the toolbars it concerns; the box stays on the screen;
    // the details name them all, with the reason.
    const std::string r3 = msg::render(msg::fileError(Code::R_0003)).text;
    const auto at = [&](const std::string& words) { return long(r.text.find(words)); }; // -1: not there
    EXPECT_EQ(at(r3), long(r.text.rfind(r3)));
    const long toolbarsOfR3 = at(r3 + "\r\n\r\nToolbar \"T1\", file: /mnt/gone/t1.vtb\r\nToolbar \"T2\", file: /mnt/gone/t2.vtb");
    EXPECT_LE(0, toolbarsOfR3);
    EXPECT_LT(toolbarsOfR3, at("Work Toolbar file version.\r\nToolbar \"Old\", file: /bars/old.vtb\r\n\r\nPlease delete the file."));
    EXPECT_EQ(std::tuple(at("... and 10 more toolbars.") >= 0, at("T21\"")), std::tuple(true, -1));
    EXPECT_NE(r.details.find("Toolbar \"T30\": /mnt/gone/t30.vtb (cannot read: No such device)"), std::string::npos);

    // Twenty are named in the box; from the twenty-first on, they are counted.
    std::vector<msg::ToolbarMessage> some(unread.begin() + 2, unread.begin() + 23);
    EXPECT_NE(msg::gather(some).text.find("... and 1 more toolbar."), std::string::npos);
    some.pop_back();
    EXPECT_EQ(msg::gather(some).text.find("... and"), std::string::npos);

    const RenderedMessage one = msg::gather({{"Old", "/bars/old.vtb", msg::vtbVersion("/bars/old.vtb")}});
    EXPECT_EQ(std::tuple(one.title, one.style), std::tuple(std::string(msg::ProgramTitle), Style::Exclamation));
    EXPECT_TRUE(msg::gather({}).text.empty());
}

} // namespace
