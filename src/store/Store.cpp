#include "store/Store.h"

#include "store/FileAccess.h"
#include "store/LineReader.h"
#include "store/Numbers.h"
#include "store/Paths.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

namespace {

using Code = StoreMessage::Code;

constexpr std::string_view Crlf = "\r\n";
constexpr std::string_view DefaultToolbarLine = "Default;1200;1200;;;0;0;0;-1;-1;0;0;";

// Walks the ";"-terminated fields of a line. A field exists only with its ";": the text
// after the last ";" is never a field.
class FieldCursor {
public:
    explicit FieldCursor(std::string_view line) : m_rest(line) { }

    bool next(std::string_view& field)
    {
        std::size_t end = m_rest.find(';');
        if (end == std::string_view::npos)
            return false;
        field = m_rest.substr(0, end);
        m_rest.remove_prefix(end + 1);
        return true;
    }

private:
    std::string_view m_rest;
};

bool isBlankText(std::string_view s) { return s.find_first_not_of(" \t") == std::string_view::npos; }

// A header line as an editor may have saved it: a UTF-8 byte order mark before it and
// blanks after it change nothing. Neither is ever written back.
bool isHeader(std::string_view line, std::string_view header)
{
    constexpr std::string_view Bom = "\xEF\xBB\xBF";
    if (line.substr(0, Bom.size()) == Bom)
        line.remove_prefix(Bom.size());
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    return line == header;
}

// The file's bytes; a file that does not exist is first created with the initial content.
// A failure when it can be neither read nor created. Reading comes first because the file
// is nearly always there, and asking beforehand would cost a lookup per toolbar.
template <typename Initial>
Result<std::string> readCreatingIfMissing(const std::string& path, Initial initial)
{
    Result<std::string> bytes = readFileBytes(path);
    if (bytes || fileMayExist(path))
        return bytes;
    if (Result<void> created = writeFileAtomically(path, initial()); !created)
        return Failure{created.reason()};
    return readFileBytes(path);
}

// Fields hold no ";" and no line end of their own; writing one would shift every later
// field of the line (or split it in two) and spoil the record on the next reading.
void appendField(std::string& out, std::string_view text)
{
    for (char c : text) {
        if (c == ';')
            out += ',';
        else if (c == '\r' || c == '\n')
            out += ' ';
        else
            out += c;
    }
    out += ';';
}

void appendNumber(std::string& out, long long n)
{
    out += std::to_string(n);
    out += ';';
}

void clearRecord(TbrRec& t)
{
    t = TbrRec{};
}

void clearSet(ToolbarSet& set)
{
    set.Tbrs.clear();
    set.TbrLast = 0;
}

// One toolbar line into t. A field that is missing or does not convert keeps the value
// the record has. Each text field's string is made once from its view and moved in:
// assigning the view into the record's string costs more, for every toolbar of the set.
void parseToolbarLine(std::string_view line, TbrRec& t)
{
    FieldCursor fields(line);
    std::string_view f;
    auto position = [](std::string_view text, float& target) {
        std::optional<double> v = convertNumber(text);
        if (v && std::fabs(*v) <= std::numeric_limits<float>::max())
            target = static_cast<float>(*v);
    };
    if (!fields.next(f))
        return;
    t.Name = std::string(f);
    if (!fields.next(f))
        return;
    position(f, t.Top);
    if (!fields.next(f))
        return;
    position(f, t.Left);
    if (!fields.next(f))
        return;
    t.Path = std::string(f);
    if (!fields.next(f))
        return;
    t.IconFile = std::string(f);
    if (!fields.next(f))
        return;
    if (std::optional<std::int16_t> icon = roundToInt16(leadingNumber(f)))
        t.IconIndex = *icon;
    for (int m = 0; m < ModeCount; ++m) {
        if (!fields.next(f))
            return;
        t.mode(m) = toBool16(leadingNumber(f) != 0);
    }
}

// One button line into b, which it replaces whole; false when the line is malformed. b
// then holds what was read before the fault, the later fields as a new record has them.
// The fields are found first and each string is made once from its view: assigning into
// the record's strings costs twice as much, and start-up does it for every button.
bool parseButtonLine(std::string_view line, BtnRec& b)
{
    FieldCursor fields(line);
    std::string_view name, executable, parameters, iconFile, f;
    std::uint8_t kind = 0;
    std::int16_t iconIndex = 0;
    const bool complete = [&] {
        if (!fields.next(name) || !fields.next(executable) || !fields.next(parameters) || !fields.next(f))
            return false;
        std::optional<double> kindValue = convertNumber(f);
        std::optional<std::uint8_t> k = kindValue ? roundToUInt8(*kindValue) : std::nullopt;
        if (!k)
            return false;
        kind = *k;
        if (!fields.next(iconFile) || !fields.next(f))
            return false;
        std::optional<std::int16_t> icon = roundToInt16(leadingNumber(f));
        if (!icon)
            return false;
        iconIndex = *icon;
        return true;
    }();
    b = BtnRec{std::string(name), std::string(executable), std::string(parameters), kind, std::string(iconFile),
               iconIndex, 0};
    return complete;
}

// Keeps a copy of the whole file at path before the program may write over it, and
// says when none could be made: the user must hear that the next save may lose it.
struct KeptCopy {
    std::string keptAs;  // where the copy is; empty when there is none
    std::string failure; // for a message's details; empty when the copy was made
};
KeptCopy keepCopy(const std::string& path)
{
    const Result<std::string> kept = keepOriginal(path);
    if (kept && !kept.value().empty())
        return {kept.value(), {}};
    std::string failure = "no copy of " + path + " could be kept (as " + path + ".bak)";
    if (!kept)
        failure += ": " + kept.reason();
    return {{}, std::move(failure)};
}

// The read error for the button line at line (a view into bytes) that stopped the reading,
// with where it stands and what became of the file in its details. Apart from the reading
// loop, which start-up runs for every button: building the details there slows it down.
StoreMessage unreadButton(const std::string& path, std::string_view bytes, std::string_view line,
                          const KeptCopy& kept)
{
    std::size_t lineNumber = 0;
    std::size_t buttons = 0;
    LineReader lines(bytes);
    for (std::string_view l; lines.next(l);) {
        ++lineNumber;
        if (l.data() == line.data())
            break;
        if (lineNumber > 1 && !l.empty())
            ++buttons;
    }
    std::string why = path + ", line " + std::to_string(lineNumber)
        + (buttons < MaxButtons ? ": not a button line" : ": more than " + std::to_string(MaxButtons) + " buttons");
    why += kept.keptAs.empty() ? "; " + kept.failure : "; the complete file was kept as " + kept.keptAs;
    return msg::fileError(Code::R_0003, std::move(why));
}

} // namespace

std::string cfgPath(const std::string& dataFolder) { return joinPath(dataFolder, "Toolbars.cfg"); }

std::string defaultVtbPath(const std::string& dataFolder) { return joinPath(dataFolder, "Default.vtb"); }

std::string toolbarFilePath(const TbrRec& tbr)
{
    if (tbr.Path.empty() || isAbsolutePath(tbr.Path) || tbr.Folder.empty())
        return tbr.Path;
    return joinPath(tbr.Folder, tbr.Path);
}

StoreMessages ReadCfg(ToolbarSet& set, const std::string& dataFolder)
{
    const std::string path = cfgPath(dataFolder);
    set.TbrLast = 0;
    set.Folder = dataFolder;
    // Saves cut short by a kill leave their temporary files; nobody else writes here.
    removeStaleTemporaries(dataFolder, "Toolbars.cfg");
    removeStaleTemporaries(dataFolder, "Default.vtb");

    Result<std::string> bytes = readCreatingIfMissing(path, [] {
        return std::string(msg::CfgHeader) + std::string(Crlf) + std::string(DefaultToolbarLine)
            + std::string(Crlf);
    });
    if (!bytes) {
        clearSet(set);
        return {msg::fileError(Code::R_0001, bytes.reason())};
    }
    LineReader lines(bytes.value());
    std::string_view line;
    if (!lines.next(line)) {
        clearSet(set);
        return {msg::fileError(Code::R_0001, path + " is empty")};
    }
    if (!isHeader(line, msg::CfgHeader)) {
        // Whatever the program does next, the file of another version stays recoverable.
        StoreMessage wrong = msg::cfgVersion(std::string(line));
        wrong.reason = keepCopy(path).failure;
        clearSet(set);
        return {wrong};
    }

    // Room for every toolbar line at once (a line end per line at most, two for CR LF):
    // growing one record at a time would move them again and again.
    const std::string& all = bytes.value();
    const std::size_t lineEnds = static_cast<std::size_t>(std::count(all.begin(), all.end(), '\n'))
        + static_cast<std::size_t>(std::count(all.begin(), all.end(), '\r'));
    set.Tbrs.reserve(std::min<std::size_t>(lineEnds + 1, MaxToolbars));

    // Records this reading adds are new and empty; only the ones there before are cleared.
    const std::size_t existing = set.Tbrs.size();
    std::size_t n = 0;
    std::size_t surplus = 0;
    while (lines.next(line)) {
        if (isBlankText(line))
            continue;
        if (n == MaxToolbars) {
            ++surplus;
            continue;
        }
        set.RedimTbrs(n);
        TbrRec& t = set.Tbrs[n];
        if (n < existing)
            clearRecord(t);
        parseToolbarLine(line, t);
        t.Folder = dataFolder;
        // The default toolbar always lives in the data folder, whatever its line says.
        if (n == 0)
            t.Path = defaultVtbPath(dataFolder);
        ++n;
    }

    if (n == 0) {
        clearSet(set);
        return {msg::fileError(Code::R_0001, path + " holds no toolbar line")};
    }
    set.TbrLast = static_cast<std::uint8_t>(n - 1);

    StoreMessages messages;
    if (surplus > 0) {
        // The next save writes the loaded toolbars only; the lines left out survive in
        // the copy.
        KeptCopy kept = keepCopy(path);
        messages.push_back(msg::tooManyToolbars(surplus, kept.keptAs));
        messages.back().reason = std::move(kept.failure);
    }
    return messages;
}

StoreMessages WriteCfg(const ToolbarSet& set, const std::string& dataFolder)
{
    // A set that holds no toolbar was never loaded (wrong version, unreadable file):
    // writing it would replace the user's file with an empty one.
    if (set.Tbrs.empty())
        return {};
    // Its owner made it read-only: the set is not saved, and the caller says so.
    if (isReadOnlyFile(cfgPath(dataFolder)))
        return {msg::cfgReadOnly(cfgPath(dataFolder))};

    std::string out(msg::CfgHeader);
    out += Crlf;
    std::size_t last = std::min<std::size_t>(set.TbrLast, set.Tbrs.size() - 1);
    for (std::size_t i = 0; i <= last; ++i) {
        const TbrRec& t = set.Tbrs[i];
        appendField(out, t.Name);
        appendField(out, formatNumber(t.Top));
        appendField(out, formatNumber(t.Left));
        appendField(out, i == 0 ? std::string_view() : std::string_view(t.Path));
        appendField(out, t.IconFile);
        appendNumber(out, t.IconIndex);
        for (int m = 0; m < ModeCount; ++m)
            appendNumber(out, isTrue(t.mode(m)) ? True16 : False16);
        out += Crlf;
    }
    if (Result<void> written = writeFileAtomically(cfgPath(dataFolder), out); !written)
        return {msg::fileError(Code::W_0002, written.reason())};
    return {};
}

StoreMessages ReadBtns(TbrRec& tbr)
{
    tbr.BtnCount = 0;
    // Read, even when it fails: the record holds what the file gave, as it did when the
    // whole set was read at start, and the failure is said once, not at every use.
    tbr.BtnsRead = true;
    const std::string path = toolbarFilePath(tbr);
    if (path.empty())
        return {msg::fileError(Code::R_0003, "the toolbar \"" + tbr.Name + "\" names no toolbar file")};
    if (!isAbsolutePath(path))
        return {msg::fileError(Code::R_0003, "the toolbar file " + path + " is not in a known folder")};

    // A new toolbar needs no file beforehand: its file starts as the header alone.
    Result<std::string> bytes
        = readCreatingIfMissing(path, [] { return std::string(msg::VtbHeader) + std::string(Crlf); });
    if (!bytes)
        return {msg::fileError(Code::R_0003, bytes.reason())};
    LineReader lines(bytes.value());
    std::string_view line;
    if (!lines.next(line))
        return {msg::fileError(Code::R_0003, path + " is empty")};
    if (!isHeader(line, msg::VtbHeader)) {
        // The toolbar shows no buttons; adding one would write over this file, so a copy
        // of it is kept first.
        StoreMessage wrong = msg::vtbVersion(path);
        wrong.reason = keepCopy(path).failure;
        return {wrong};
    }

    while (lines.next(line)) {
        if (line.empty())
            continue;
        bool ok = tbr.BtnCount < MaxButtons;
        if (ok) {
            ++tbr.BtnCount;
            ok = parseButtonLine(line, tbr.Btns[tbr.BtnCount]);
        }
        if (!ok) {
            // The buttons read so far stay, and the next save of this toolbar writes only
            // them: the complete file is kept under a second name first.
            return {unreadButton(path, bytes.value(), line, keepCopy(path))};
        }
    }
    return {};
}

StoreMessages WriteBtns(const TbrRec& tbr)
{
    const std::string path = toolbarFilePath(tbr);
    if (path.empty())
        return {msg::fileError(Code::W_0004, "the toolbar \"" + tbr.Name + "\" names no toolbar file")};
    if (!isAbsolutePath(path))
        return {msg::fileError(Code::W_0004, "the toolbar file " + path + " is not in a known folder")};
    // The record of a toolbar whose file was never read holds no buttons, not the
    // user's: writing it would empty the file.
    if (!tbr.BtnsRead)
        return {msg::fileError(Code::W_0004, "the buttons of the toolbar \"" + tbr.Name + "\" were never read from "
                                                 + path + "; the file was left as it is")};

    std::string out(msg::VtbHeader);
    out += Crlf;
    int count = std::min<int>(tbr.BtnCount, MaxButtons);
    for (int k = 1; k <= count; ++k) {
        const BtnRec& b = tbr.Btns[k];
        if (isBlankButton(b))
            continue;
        appendField(out, b.Name);
        appendField(out, b.Executable);
        appendField(out, b.Parameters);
        appendNumber(out, b.Kind);
        appendField(out, b.IconFile);
        appendNumber(out, b.IconIndex);
        out += Crlf;
    }
    if (Result<void> written = writeFileAtomically(path, out); !written)
        return {msg::fileError(Code::W_0004, written.reason())};
    return {};
}
