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

} // namespace
