#pragma once

#include <string>
#include <vector>

// A message the store wants shown; the caller shows it (the store has no UI).
struct StoreMessage {
    enum class Style { Critical = 16, Exclamation = 48 };
    Style style{Style::Critical};
    std::string title;
    std::string text; // lines joined with "\r\n" as they are shown
};
using StoreMessages = std::vector<StoreMessage>;

namespace msg {
inline constexpr const char* CfgHeader = "Quorrelind's Vyrelight Toolbars v2_[A1]";
inline constexpr const char* VtbHeader = "Quorrelind's Vyrelight Toolbar v2_[A1]";
inline constexpr const char* ProgramTitle = "Vyrelight Toolbar v2";
inline constexpr const char* ContactAddress = "vyrelight-bugs@users.noreply.vyrelight.org";

enum class FileError { R_0001, W_0002, R_0003, W_0004 };
StoreMessage fileError(FileError code);
StoreMessage cfgVersion(const std::string& fileFirstLine);
StoreMessage vtbVersion(const std::string& path);
// keptAs names the copy of the whole file that was kept, when one was made.
StoreMessage tooManyToolbars(std::size_t linesIgnored, const std::string& keptAs = {});
} // namespace msg
