#include "app/ToolbarCommands.h"

#include "config/ConfigWindow.h"
#include "editors/ToolbarEditor.h"
#include "platform/Prompter.h"
#include "platform/SkipOnError.h"
#include "store/Store.h"
#include "toolbar/ToolbarManager.h"
#include "toolbar/ToolbarWindow.h"

#include <utility>

ToolbarCommands::ToolbarCommands(ToolbarSet& set, Services services, std::string dataFolder, ConfigWindow& cfg,
                                 ToolbarManager& toolbars, IconPicker& icons,
                                 std::function<void(const StoreMessages&)> report, std::function<bool()> ended)
    : m_set(set)
    , m_services(services)
    , m_dataFolder(std::move(dataFolder))
    , m_cfg(cfg)
    , m_toolbars(toolbars)
    , m_report(std::move(report))
    , m_ended(std::move(ended))
    , m_icons(icons)
{
}

ToolbarCommands::~ToolbarCommands() = default;

ToolbarEditor* ToolbarCommands::editor() const
{
    return m_editor.get();
}

bool ToolbarCommands::editorVisible() const
{
    return m_editor && m_editor->isVisible();
}

void ToolbarCommands::add()
{
    openEditor(ToolbarPurpose::Add, 0);
}

void ToolbarCommands::edit(std::uint8_t t)
{
    if (t <= m_set.TbrLast && t < m_set.Tbrs.size())
        openEditor(ToolbarPurpose::Edit, t);
}

void ToolbarCommands::openEditor(ToolbarPurpose purpose, std::uint8_t t)
{
    // One editor at a time; a closed one only waits for its deletion.
    if (m_ended() || editorVisible())
        return;
    // Made afresh for each use and gone when closed, so every opening starts from the
    // editor's own state.
    auto* editor = new ToolbarEditor(
        purpose, t, {m_set, *this, m_services.prompter, m_icons, m_services.dialogs, m_dataFolder}, &m_cfg);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    m_editor.reset(editor);
    editor->open();
}

bool ToolbarCommands::storeToolbar(ToolbarPurpose purpose, std::uint8_t t, const ToolbarFields& fields)
{
    // The editor checked the fields against the set. What goes wrong from here (a save
    // that fails) is said by the report and is nothing the editor's fields could mend,
    // so the editor closes either way.
    if (purpose == ToolbarPurpose::Add)
        added(fields);
    else
        edited(t, fields);
    return true;
}

void ToolbarCommands::added(const ToolbarFields& fields)
{
    // The editor refused a toolbar beyond the last index; the set is not the place to
    // find out.
    if (m_ended() || m_set.count() >= MaxToolbars)
        return;
    const auto t = static_cast<std::uint8_t>(m_set.count());
    m_set.RedimTbrs(t);
    // An element left over from a deleted toolbar starts as empty as a new one, in the
    // data folder, where a relative path is taken.
    m_set.Tbrs[t] = TbrRec{};
    m_set.Tbrs[t].Folder = m_set.Folder;
    m_set.TbrLast = t;
    TbrRec& rec = m_set.Tbrs[t];
    rec.Name = fields.Name;
    rec.Path = fields.Path;
    rec.IconFile = fields.IconFile;
    rec.IconIndex = fields.IconIndex;

    skipOnError("listing the new toolbar", [&] { m_cfg.refreshToolbarList(); });
    // An existing file gives the new toolbar its buttons; a missing one starts empty.
    m_report(ReadBtns(rec));
    // Built now, hidden: every mode of a new toolbar is off until the user turns one on.
    skipOnError("building the new toolbar", [&] { m_toolbars.ready(t); });
    // A new toolbar has no window on screen to be found by: the configuration window
    // turns to it, where its buttons are added and "Visible" is ticked.
    skipOnError("choosing the new toolbar", [&] { m_cfg.selectToolbar(t); });
    saveConfig();
}

void ToolbarCommands::edited(std::uint8_t t, const ToolbarFields& fields)
{
    if (m_ended() || t > m_set.TbrLast || t >= m_set.Tbrs.size())
        return;
    TbrRec& rec = m_set.Tbrs[t];
    rec.Name = fields.Name;
    rec.IconFile = fields.IconFile;
    rec.IconIndex = fields.IconIndex;
    // The handle first, so that the configuration window shows the new picture too.
    skipOnError("showing the new name and icon", [&] { m_toolbars.ready(t).showIdentity(); });
    skipOnError("renaming the toolbar in the list", [&] {
        m_cfg.refreshToolbarList();
        m_cfg.selectToolbar(t);
    });
    saveConfig();
}

void ToolbarCommands::remove(std::uint8_t t)
{
    if (m_ended() || t == 0 || t > m_set.TbrLast || t >= m_set.Tbrs.size())
        return;
    const TbrRec& rec = m_set.Tbrs[t];
    const QString text = QStringLiteral("Are you sure to delete (not from the disk): \r\n\r\nName:  '")
                       + QString::fromLocal8Bit(rec.Name) + QStringLiteral("'\r\nPath:  '")
                       + QString::fromLocal8Bit(rec.Path) + QStringLiteral("'\r\n");
    if (m_services.prompter.message(QString::fromLatin1(msg::ProgramTitle), text, Prompter::YesNoQuestion)
        == Prompter::No)
        return;
    // The box let the world go on: the program may have begun to end, or the set changed.
    if (m_ended() || t > m_set.TbrLast)
        return;

    m_set.Tbrs[t].Visible = False16;
    // Its window goes; the windows after it move down with their records and know
    // their new indexes.
    m_toolbars.remove(t);
    for (std::size_t i = std::size_t(t) + 1; i <= m_set.TbrLast; ++i)
        m_set.Tbrs[i - 1] = std::move(m_set.Tbrs[i]);
    // The element that was last is out of use.
    m_set.Tbrs[m_set.TbrLast] = TbrRec{};
    m_set.Tbrs[m_set.TbrLast].Folder = m_set.Folder;
    --m_set.TbrLast;
    skipOnError("refilling the toolbar list", [&] {
        m_cfg.refreshToolbarList();
        m_cfg.selectToolbar(static_cast<std::uint8_t>(t - 1));
    });
    saveConfig();
}

void ToolbarCommands::saveConfig()
{
    m_toolbars.takePositions();
    m_report(WriteCfg(m_set, m_dataFolder));
}
