#include "store/Messages.h"

namespace msg {
namespace {
constexpr const char* Crlf = "\r\n";

// A first line can be anything, even megabytes of binary; the message only needs enough
// of it for the user to recognise the file.
constexpr std::size_t MaxQuotedLine = 200;

std::string quoted(const std::string& line)
{
    if (line.size() <= MaxQuotedLine)
        return line;
    return line.substr(0, MaxQuotedLine) + "...";
}
} // namespace

StoreMessage fileError(FileError code)
{
    const char* codeLine = "";
    const char* operation = "";
    switch (code) {
    case FileError::R_0001:
        codeLine = "Error#R_0001 (I/O) Intercepted";
        operation = "Error during the Toolbars Configuration file reading process.";
        break;
    case FileError::W_0002:
        codeLine = "Error#W_0002 (I/O) Intercepted";
        operation = "Error during the Toolbars Configuration file writing process.";
        break;
    case FileError::R_0003:
        codeLine = "Error#R_0003 (I/O) Intercepted";
        operation = "Error during the Toolbar reading process.";
        break;
    case FileError::W_0004:
        codeLine = "Error#W_0004 (I/O) Intercepted";
        operation = "Error during the Toolbar writing process.";
        break;
    }
    std::string text = std::string(codeLine) + Crlf + operation + Crlf + Crlf
        + "Now Vyrelight Toolbar will terminate the Function." + Crlf + Crlf
        + "Contact the Author:" + Crlf + "E-Mail: " + ContactAddress + Crlf
        + "Please mail also the error code.";
    return {StoreMessage::Style::Critical, "Error", std::move(text)};
}

StoreMessage cfgVersion(const std::string& fileFirstLine)
{
    std::string text = std::string("Wrong Toolbar file (Toolbars.cfg) Version.") + Crlf + Crlf
        + "Current version: " + CfgHeader + Crlf + "File Version: " + quoted(fileFirstLine);
    return {StoreMessage::Style::Exclamation, ProgramTitle, std::move(text)};
}

StoreMessage vtbVersion(const std::string& path)
{
    std::string text = std::string("Work Toolbar file version.") + Crlf + "File: " + path + Crlf
        + Crlf + "Please delete the file.";
    return {StoreMessage::Style::Exclamation, ProgramTitle, std::move(text)};
}

StoreMessage tooManyToolbars(std::size_t linesIgnored, const std::string& keptAs)
{
    std::string text = std::string("Toolbars.cfg describes more toolbars than Vyrelight Toolbar "
                                   "can hold (256 at most).")
        + Crlf + Crlf + "The first 256 toolbars were loaded; " + std::to_string(linesIgnored)
        + (linesIgnored == 1 ? " further toolbar line was" : " further toolbar lines were")
        + " left out.";
    if (!keptAs.empty())
        text += std::string(Crlf) + "The complete file was kept as " + keptAs + ".";
    return {StoreMessage::Style::Exclamation, ProgramTitle, std::move(text)};
}
} // namespace msg
