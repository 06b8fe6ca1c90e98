#include "store/Messages.h"

#include <algorithm>
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
    case Code::CfgReadOnly:
    case Code::FolderReadOnly:
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

// A line as it must be seen to tell it from another that looks the same: control bytes,
// blanks at either end and the invisible characters of UTF-8 (no-break and zero-width
// spaces, a byte order mark) are written as escapes; everything else stays as it is.
std::string visible(const std::string& line)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    const std::size_t first = line.find_first_not_of(' ');
    const std::size_t last = line.find_last_not_of(' ');
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        const auto next = [&](std::size_t k) { return i + k < line.size() ? static_cast<unsigned char>(line[i + k]) : 0; };
        if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F || (c == ' ' && (i < first || first == std::string::npos || i > last))) {
            out += "\\x";
            out += Hex[c >> 4];
            out += Hex[c & 15];
        } else if (c == 0xC2 && next(1) == 0xA0) {
            out += "\\u00A0";
            i += 1;
        } else if (c == 0xEF && next(1) == 0xBB && next(2) == 0xBF) {
            out += "\\uFEFF";
            i += 2;
        } else if (c == 0xE2 && next(1) == 0x80 && next(2) >= 0x8B && next(2) <= 0x8F) {
            out += "\\u200";
            out += Hex[next(2) - 0x80];
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
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
        + "Current version: " + CfgHeader + Crlf + "File Version: " + visible(quoted(fileFirstLine));
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
std::string cfgReadOnlyText(const std::string& path)
{
    return std::string("Toolbars.cfg is read-only, so changes to the toolbars are not saved.") + Crlf
        + "File: " + path;
}

std::string folderReadOnlyText(const std::string& folder)
{
    return std::string("The folder of the toolbars cannot be written, so nothing is saved while "
                       "Vyrelight Toolbar runs.")
        + Crlf + "Folder: " + folder;
}

// At most this many toolbars are named in one box; the details name them all.
constexpr std::size_t MaxListed = 20;
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

StoreMessage cfgReadOnly(std::string path)
{
    return {Code::CfgReadOnly, std::move(path), 0, {}};
}

StoreMessage folderReadOnly(std::string folder)
{
    return {Code::FolderReadOnly, std::move(folder), 0, {}};
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
    case Code::CfgReadOnly:
        out.text = cfgReadOnlyText(m.subject);
        break;
    case Code::FolderReadOnly:
        out.text = folderReadOnlyText(m.subject);
        break;
    }
    return out;
}

RenderedMessage gather(const std::vector<ToolbarMessage>& messages)
{
    RenderedMessage out{ProgramTitle, {}, {}, Style::Exclamation};
    // Each kind once, in the order it first came up.
    std::vector<Code> kinds;
    for (const ToolbarMessage& m : messages) {
        if (std::find(kinds.begin(), kinds.end(), m.message.code) == kinds.end())
            kinds.push_back(m.message.code);
        if (m.message.style() == Style::Critical) {
            out.style = Style::Critical;
            out.title = "Error";
        }
        std::string line = "Toolbar \"" + m.name + "\": " + m.path;
        if (!m.message.reason.empty())
            line += " (" + m.message.reason + ")";
        out.details += (out.details.empty() ? "" : Crlf) + line;
    }
    for (Code kind : kinds) {
        std::vector<const ToolbarMessage*> these;
        for (const ToolbarMessage& m : messages)
            if (m.message.code == kind)
                these.push_back(&m);
        std::string list;
        for (std::size_t i = 0; i < these.size() && i < MaxListed; ++i)
            list += std::string(Crlf) + "Toolbar \"" + these[i]->name + "\", file: " + these[i]->path;
        if (these.size() > MaxListed)
            list += std::string(Crlf) + "... and " + std::to_string(these.size() - MaxListed)
                + (these.size() - MaxListed == 1 ? " more toolbar." : " more toolbars.");
        std::string text;
        if (kind == Code::VtbVersion) {
            // Its words name the file; here the list does, for each toolbar.
            text = std::string("Work Toolbar file version.") + list + Crlf + Crlf + "Please delete the file.";
        } else {
            text = render(these.front()->message).text + Crlf + list;
        }
        out.text += (out.text.empty() ? "" : std::string(Crlf) + Crlf + "----------" + Crlf + Crlf) + text;
    }
    return out;
}
} // namespace msg
