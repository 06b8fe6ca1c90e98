#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Something the store has to tell the user, as data: what happened and what it concerns.
// The store has no UI and no words of its own outside this unit: the caller turns a
// message into its title and text with msg::render and shows it.
struct StoreMessage {
    enum class Code : unsigned char {
        R_0001,          // Toolbars.cfg could not be read
        W_0002,          // Toolbars.cfg could not be written
        R_0003,          // a toolbar file could not be read
        W_0004,          // a toolbar file could not be written
        CfgVersion,      // Toolbars.cfg is of another version; subject: its first line
        VtbVersion,      // a toolbar file is of another version; subject: its path
        TooManyToolbars, // count: the toolbar lines left out; subject: the copy kept, or ""
        CfgReadOnly,     // Toolbars.cfg may not be written; subject: its path
        FolderReadOnly,  // the data folder cannot be written; subject: the folder
    };
    enum class Style : unsigned char { Critical = 16, Exclamation = 48 };

    Code code{Code::R_0001};
    std::string subject;  // the file's bytes the message names (see Code)
    std::size_t count{0};
    // Why the operation failed (the system's words, a line number): for the message's
    // details, never part of its fixed text.
    std::string reason;

    // Errors are critical, notices about a file's content exclamations.
    Style style() const;

    bool operator==(const StoreMessage&) const = default;
};

// What one read or write has to tell the user, in the order to show it; empty when all
// went well. A read can succeed and still leave notices (toolbars left out), and a failed
// one ends in a single message.
using StoreMessages = std::vector<StoreMessage>;

// A message in words, for a message box: text lines are joined with "\r\n"; details
// (possibly empty) hold the reason behind it.
struct RenderedMessage {
    std::string title;
    std::string text;
    std::string details;
    StoreMessage::Style style{StoreMessage::Style::Critical};
};

namespace msg {
inline constexpr const char* CfgHeader = "Quorrelind's Vyrelight Toolbars v2_[A1]";
inline constexpr const char* VtbHeader = "Quorrelind's Vyrelight Toolbar v2_[A1]";
inline constexpr const char* ProgramTitle = "Vyrelight Toolbar v2";
inline constexpr const char* ContactAddress = "vyrelight-bugs@users.noreply.vyrelight.org";

// code is one of R_0001, W_0002, R_0003 and W_0004.
StoreMessage fileError(StoreMessage::Code code, std::string reason = {});
StoreMessage cfgVersion(std::string fileFirstLine);
StoreMessage vtbVersion(std::string path);
// keptAs names the copy of the whole file that was kept, when one was made.
StoreMessage tooManyToolbars(std::size_t linesIgnored, std::string keptAs = {});

StoreMessage cfgReadOnly(std::string path);
StoreMessage folderReadOnly(std::string folder);

// The one place the store's messages become words.
RenderedMessage render(const StoreMessage& message);

// What reading one toolbar's file had to say, with the toolbar it concerns.
struct ToolbarMessage {
    std::string name; // the toolbar's Name
    std::string path; // its file, as the program looked for it
    StoreMessage message;
};
// The toolbar files' messages of one start-up in one box: each kind of message once in
// its own words, followed by the toolbars and files it concerns. Empty text when there
// is nothing to say.
RenderedMessage gather(const std::vector<ToolbarMessage>& messages);
} // namespace msg
