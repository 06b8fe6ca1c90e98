#include "store/Messages.h"

#include <utility>

using Code = StoreMessage::Code;
using Style = StoreMessage::Style;

StoreMessage::Style StoreMessage::style() const
{
    switch (code) {
    case Code::R_0001:
    case Code::W_0002:
    case Code::R_0003:
    case Code::W_0004:
        return Style::Critical;
    case Code::CfgVersion:
    case Code::VtbVersion:
    case Code::TooManyToolbars:
        break;
    }
    return Style::Exclamation;
}

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

std::string fileErrorText(Code code)
{
    const char* codeLine = "";
    const char* operation = "";
    switch (code) {
    case Code::R_0001:
        codeLine = "Error#R_0001 (I/O) Intercepted";
        operation = "Error during the Toolbars Configuration file reading process.";
        break;
    case Code::W_0002:
        codeLine = "Error#W_0002 (I/O) Intercepted";
        operation = "Error during the Toolbars Configuration file writing process.";
        break;
    case Code::R_0003:
        codeLine = "Error#R_0003 (I/O) Intercepted";
        operation = "Error during the Toolbar reading process.";
        break;
    case Code::W_0004:
        codeLine = "Error#W_0004 (I/O) Intercepted";
        operation = "Error during the Toolbar writing process.";
        break;
    default:
        break;
    }
    return std::string(codeLine) + Crlf + operation + Crlf + Crlf
        + "Now Vyrelight Toolbar will terminate the Function." + Crlf + Crlf
        + "Contact the Author:" + Crlf + "E-Mail: " + ContactAddress + Crlf
        + "Please mail also the error code.";
}

std::string cfgVersionText(const std::string& fileFirstLine)
{
    return std::string("Wrong Toolbar file (Toolbars.cfg) Version.") + Crlf + Crlf
        + "Current version: " + CfgHeader + Crlf + "File Version: " + quoted(fileFirstLine);
}

std::string vtbVersionText(const std::string& path)
{
    return std::string("Work Toolbar file version.") + Crlf + "File: " + path + Crlf + Crlf
        + "Please delete the file.";
}

std::string tooManyToolbarsText(std::size_t linesIgnored, const std::string& keptAs)
{
    std::string text = std::string("Toolbars.cfg describes more toolbars than Vyrelight Toolbar "
                                   "can hold (256 at most).")
        + Crlf + Crlf + "The first 256 toolbars were loaded; " + std::to_string(linesIgnored)
        + (linesIgnored == 1 ? " further toolbar line was" : " further toolbar lines were")
        + " left out.";
    if (!keptAs.empty())
        text += std::string(Crlf) + "The complete file was kept as " + keptAs + ".";
    return text;
}
} // namespace

StoreMessage fileError(Code code, std::string reason)
{
    return {code, {}, 0, std::move(reason)};
}

StoreMessage cfgVersion(std::string fileFirstLine)
{
    return {Code::CfgVersion, std::move(fileFirstLine), 0, {}};
}

StoreMessage vtbVersion(std::string path)
{
    return {Code::VtbVersion, std::move(path), 0, {}};
}

StoreMessage tooManyToolbars(std::size_t linesIgnored, std::string keptAs)
{
    return {Code::TooManyToolbars, std::move(keptAs), linesIgnored, {}};
}

RenderedMessage render(const StoreMessage& m)
{
    RenderedMessage out{ProgramTitle, {}, m.reason, m.style()};
    switch (m.code) {
    case Code::R_0001:
    case Code::W_0002:
    case Code::R_0003:
    case Code::W_0004:
        out.title = "Error";
        out.text = fileErrorText(m.code);
        break;
    case Code::CfgVersion:
        out.text = cfgVersionText(m.subject);
        break;
    case Code::VtbVersion:
        out.text = vtbVersionText(m.subject);
        break;
    case Code::TooManyToolbars:
        out.text = tooManyToolbarsText(m.count, m.subject);
        break;
    }
    return out;
}
} // namespace msg
