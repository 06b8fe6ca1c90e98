#include "app/ButtonCommands.h"

#include "config/ConfigWindow.h"
#include "editors/ButtonEditor.h"
#include "platform/Prompter.h"
#include "store/Messages.h"
#include "store/Store.h"
#include "toolbar/ToolbarManager.h"
#include "toolbar/ToolbarWindow.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

QString text(const std::string& s) { return QString::fromLocal8Bit(s); }

} // namespace

ButtonCommands::ButtonCommands(ToolbarSet& set, Services services, ConfigWindow& cfg, ToolbarManager& toolbars,
                               IconPicker& icons, std::function<void(const StoreMessages&)> report)
    : m_set(set)
    , m_services(services)
    , m_cfg(cfg)
    , m_toolbars(toolbars)
    , m_icons(icons)
    , m_report(std::move(report))
{
}

ButtonCommands::~ButtonCommands() = default;

bool ButtonCommands::editorVisible() const
{
    return m_editor && m_editor->isVisible();
}

bool ButtonCommands::holdsConfig() const
{
    return editorVisible() && m_editor->windowModality() != Qt::NonModal;
}

bool ButtonCommands::hasButton(std::uint8_t t, int k) const
{
    return t <= m_set.TbrLast && t < m_set.Tbrs.size() && k >= 1 && k <= m_set.withButtons(t).BtnCount
        && k <= MaxButtons;
}

ButtonEditor* ButtonCommands::openEditor(ButtonPurpose purpose)
{
    // One editor at a time. One still open (a drop opened it without blocking anything)
    // holds what the user typed into it: it comes forward instead of being replaced.
    if (editorVisible()) {
        m_editor->raise();
        m_editor->activateWindow();
        return nullptr;
    }
    // A closed one only waits for its deletion.
    m_editor.reset(new ButtonEditor(
        purpose, {m_set, *this, m_services.prompter, m_icons, m_services.dialogs, m_applications}, &m_cfg));
    return m_editor.get();
}

void ButtonCommands::add(std::uint8_t)
{
    if (ButtonEditor* editor = openEditor(ButtonPurpose::Add))
        editor->openModal();
}

void ButtonCommands::edit(std::uint8_t t, int k)
{
    if (!hasButton(t, k))
        return;
    if (ButtonEditor* editor = openEditor(ButtonPurpose::Edit)) {
        editor->fill(m_set.Tbrs[t].Btns[k]);
        editor->openModal();
    }
}

void ButtonCommands::addFromFile(const QString& target)
{
    // A file dropped while the editor is open becomes its target, and what the user has
    // typed stays: a new editor in its place would throw that away.
    const bool open = editorVisible();
    ButtonEditor* editor = open ? m_editor.get() : openEditor(ButtonPurpose::Add);
    if (!editor)
        return;
    editor->takeTarget(target);
    if (!open)
        editor->show();
    editor->raise();
    editor->activateWindow();
}

void ButtonCommands::remove(std::uint8_t t, int k)
{
    if (!hasButton(t, k))
        return;
    const BtnRec& b = m_set.Tbrs[t].Btns[k];
    const QString question = QStringLiteral("Are you sure to delete: \r\n\r\nName:  '") + text(b.Name)
                             + QStringLiteral("'\r\nPath:  '") + text(b.Executable) + QStringLiteral("'\r\n");
    if (m_services.prompter.message(QString::fromLatin1(msg::ProgramTitle), question, Prompter::YesNoQuestion)
        == Prompter::No)
        return;
    // The box may have let the world move on meanwhile.
    if (!hasButton(t, k))
        return;
    TbrRec& tbr = m_set.Tbrs[t];
    const TbrRec before = tbr;
    for (int i = k + 1; i <= tbr.BtnCount; ++i)
        tbr.Btns[i - 1] = tbr.Btns[i];
    --tbr.BtnCount;
    save(t, before);
}

bool ButtonCommands::exchange(std::uint8_t t, int a, int b)
{
    if (!hasButton(t, a) || !hasButton(t, b) || a == b)
        return false;
    TbrRec& tbr = m_set.Tbrs[t];
    const TbrRec before = tbr;
    std::swap(tbr.Btns[a], tbr.Btns[b]);
    // The configuration window refills its list itself, to select the moved button again.
    return save(t, before, List::LeaveToWindow);
}

bool ButtonCommands::move(std::uint8_t t, int k, int to)
{
    if (!hasButton(t, k) || !hasButton(t, to) || k == to)
        return false;
    // The buttons in the order the toolbar shows them; a blank one, left out there, is
    // not passed and keeps its record.
    const TbrRec& tbr = m_set.Tbrs[t];
    std::vector<int> shown;
    for (int i = 1; i <= tbr.BtnCount && i <= MaxButtons; ++i)
        if (!isBlankButton(tbr.Btns[i]))
            shown.push_back(i);
    const auto from = std::find(shown.begin(), shown.end(), k);
    const auto there = std::find(shown.begin(), shown.end(), to);
    if (from == shown.end() || there == shown.end())
        return false;
    const std::ptrdiff_t step = there > from ? 1 : -1;
    auto at = from;
    while (at != there && exchange(t, *at, *(at + step)))
        at += step;
    if (at == from)
        return false;
    // The configuration window showing the toolbar shows the moved button selected.
    if (m_cfg.chosenToolbar() == t) {
        m_cfg.refreshButtonList(t);
        m_cfg.selectButton(*at);
    }
    return true;
}

bool ButtonCommands::storeButton(ButtonPurpose purpose, const BtnRec& button)
{
    // The toolbar and button are those chosen in the configuration window now: an editor
    // opened by a drop leaves the window free to change meanwhile.
    const std::optional<std::uint8_t> chosen = m_cfg.chosenToolbar();
    if (!chosen || *chosen > m_set.TbrLast || *chosen >= m_set.Tbrs.size())
        return false;
    const std::uint8_t t = *chosen;
    TbrRec& tbr = m_set.withButtons(t);
    const TbrRec before = tbr;
    if (purpose == ButtonPurpose::Add) {
        if (tbr.BtnCount >= MaxButtons) {
            m_services.prompter.message(
                QString::fromLatin1(msg::ProgramTitle),
                QStringLiteral("The toolbar '%1' already holds %2 buttons, as many as a toolbar can hold.\r\n"
                               "Delete one before adding another.")
                    .arg(text(tbr.Name))
                    .arg(MaxButtons),
                Prompter::Exclamation);
            return false;
        }
        tbr.Btns[++tbr.BtnCount] = button;
    } else {
        const std::optional<int> k = m_cfg.selectedButton();
        if (!k || !hasButton(t, *k))
            return false;
        tbr.Btns[*k] = button;
    }
    return save(t, before);
}

bool ButtonCommands::save(std::uint8_t t, const TbrRec& before, List list)
{
    TbrRec& tbr = m_set.Tbrs[t];
    const StoreMessages failed = WriteBtns(tbr);
    if (!failed.empty()) {
        tbr.Btns = before.Btns;
        tbr.BtnCount = before.BtnCount;
        m_report(failed);
        return false;
    }
    // A toolbar nobody has seen yet is built from its record when first needed.
    if (ToolbarWindow* w = m_toolbars.find(t); w && w->built())
        w->rebuild();
    // The list shows the chosen toolbar: a change made from another toolbar's window
    // leaves it as it is.
    if (list == List::Refill && m_cfg.chosenToolbar() == t)
        m_cfg.refreshButtonList(t);
    return true;
}
