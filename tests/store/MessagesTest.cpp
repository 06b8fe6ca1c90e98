#include "store/Messages.h"

#include <gtest/gtest.h>

namespace {

TEST(Messages, FileErrorsCarryCodeOperationAndContactTail)
{
    const std::string tail = "\r\n\r\nNow Vyrelight Toolbar will terminate the Function.\r\n\r\n"
                             "Contact the Author:\r\nE-Mail: "
        + std::string(msg::ContactAddress) + "\r\nPlease mail also the error code.";
    const struct {
        msg::FileError code;
        const char* head;
    } cases[] = {
        {msg::FileError::R_0001, "Error#R_0001 (I/O) Intercepted\r\n"
                                 "Error during the Toolbars Configuration file reading process."},
        {msg::FileError::W_0002, "Error#W_0002 (I/O) Intercepted\r\n"
                                 "Error during the Toolbars Configuration file writing process."},
        {msg::FileError::R_0003, "Error#R_0003 (I/O) Intercepted\r\n"
                                 "Error during the Toolbar reading process."},
        {msg::FileError::W_0004, "Error#W_0004 (I/O) Intercepted\r\n"
                                 "Error during the Toolbar writing process."},
    };
    for (const auto& c : cases) {
        StoreMessage m = msg::fileError(c.code);
        EXPECT_EQ(m.title, "Error");
        EXPECT_EQ(m.style, StoreMessage::Style::Critical);
        EXPECT_EQ(m.text, c.head + tail);
    }
}

TEST(Messages, VersionMessagesNameTheFileAndShortenAHugeFirstLine)
{
    for (const StoreMessage& m : {msg::cfgVersion("Old header"), msg::vtbVersion("/data/Tools.vtb")}) {
        EXPECT_EQ(m.title, "Vyrelight Toolbar v2");
        EXPECT_EQ(m.style, StoreMessage::Style::Exclamation);
    }
    EXPECT_EQ(msg::cfgVersion("Old header").text, "Wrong Toolbar file (Toolbars.cfg) Version.\r\n\r\n"
                                                  "Current version: Quorrelind's Vyrelight Toolbars v2_[A1]\r\n"
                                                  "File Version: Old header");
    EXPECT_EQ(msg::vtbVersion("/data/Tools.vtb").text,
              "Work Toolbar file version.\r\nFile: /data/Tools.vtb\r\n\r\nPlease delete the file.");
    EXPECT_LT(msg::cfgVersion(std::string(1'000'000, 'x')).text.size(), 1000u);
}

} // namespace
