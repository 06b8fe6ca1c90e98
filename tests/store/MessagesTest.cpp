#include "store/Messages.h"

#include <gtest/gtest.h>

namespace {

using Code = StoreMessage::Code;
using Style = StoreMessage::Style;

TEST(Messages, FileErrorsCarryCodeOperationAndContactTailAndTheReasonAsDetails)
{
    const std::string tail = "\r\n\r\nNow Vyrelight Toolbar will terminate the Function.\r\n\r\n"
                             "Contact the Author:\r\nE-Mail: "
        + std::string(msg::ContactAddress) + "\r\nPlease mail also the error code.";
    const struct {
        Code code;
        const char* head;
    } cases[] = {
        {Code::R_0001, "Error#R_0001 (I/O) Intercepted\r\n"
                       "Error during the Toolbars Configuration file reading process."},
        {Code::W_0002, "Error#W_0002 (I/O) Intercepted\r\n"
                       "Error during the Toolbars Configuration file writing process."},
        {Code::R_0003, "Error#R_0003 (I/O) Intercepted\r\n"
                       "Error during the Toolbar reading process."},
        {Code::W_0004, "Error#W_0004 (I/O) Intercepted\r\n"
                       "Error during the Toolbar writing process."},
    };
    for (const auto& c : cases) {
        const RenderedMessage m = msg::render(msg::fileError(c.code, "disk full"));
        EXPECT_EQ(m.title, "Error");
        EXPECT_EQ(m.style, Style::Critical);
        EXPECT_EQ(m.text, c.head + tail);
        EXPECT_EQ(m.details, "disk full");
    }
}

TEST(Messages, NoticesNameTheFileAndShortenAHugeFirstLine)
{
    const StoreMessage notices[] = {msg::cfgVersion("Old header"), msg::vtbVersion("/data/Tools.vtb"),
                                    msg::tooManyToolbars(1), msg::tooManyToolbars(44, "/d/Toolbars.cfg.bak")};
    for (const StoreMessage& m : notices) {
        const RenderedMessage r = msg::render(m);
        EXPECT_EQ(r.title, "Vyrelight Toolbar v2");
        EXPECT_EQ(r.style, Style::Exclamation);
        EXPECT_EQ(r.details, "");
    }
    const char* const texts[] = {
        "Wrong Toolbar file (Toolbars.cfg) Version.\r\n\r\n"
        "Current version: Quorrelind's Vyrelight Toolbars v2_[A1]\r\n"
        "File Version: Old header",
        "Work Toolbar file version.\r\nFile: /data/Tools.vtb\r\n\r\nPlease delete the file.",
        "Toolbars.cfg describes more toolbars than Vyrelight Toolbar can hold (256 at most).\r\n\r\n"
        "The first 256 toolbars were loaded; 1 further toolbar line was left out.",
        "Toolbars.cfg describes more toolbars than Vyrelight Toolbar can hold (256 at most).\r\n\r\n"
        "The first 256 toolbars were loaded; 44 further toolbar lines were left out.\r\n"
        "The complete file was kept as /d/Toolbars.cfg.bak.",
    };
    for (std::size_t i = 0; i < std::size(texts); ++i)
        EXPECT_EQ(msg::render(notices[i]).text, texts[i]);
    EXPECT_LT(msg::render(msg::cfgVersion(std::string(1'000'000, 'x'))).text.size(), 1000u);
}

} // namespace
