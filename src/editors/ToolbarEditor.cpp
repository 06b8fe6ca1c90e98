#include "editors/ToolbarEditor.h"

#include "dialogs/CDialogs.h"
#include "editors/CommandButtons.h"
#include "editors/IconPicker.h"
#include "platform/Centre.h"
#include "platform/LosslessText.h"
#include "platform/Prompter.h"
#include "platform/SkipOnError.h"
#include "platform/TaskbarEntry.h"
#include "store/Messages.h"
#include "store/Paths.h"
#include "store/ToolbarSet.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace {

// Wide enough for a few digits more than the 5 an icon index has.
constexpr const char* IndexSample = "000000";
// The name box takes about this many average characters before it scrolls.
constexpr int NameChars = 28;

// Lossless both ways: a name or icon file that is not UTF-8 comes back as it was.
std::string toBytes(const QString& s)
{
    return bytesFromText(s);
}

} // namespace

ToolbarEditor::ToolbarEditor(ToolbarPurpose purpose, std::uint8_t t, Needs needs, QWidget* parent)
    : QDialog(parent)
    , m_purpose(purpose)
    , m_toolbar(purpose == ToolbarPurpose::Edit ? t : 0)
    , m_needs(std::move(needs))
{
    setObjectName(QStringLiteral("FTbr"));
    // A small tool window: a title with a close box only, no task-bar entry.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(purpose == ToolbarPurpose::Add ? QStringLiteral("Add Toolbar") : QStringLiteral("Edit Toolbar"));
    buildControls();
    if (purpose == ToolbarPurpose::Edit && t < m_needs.set.Tbrs.size())
        fillFromRecord();
}

// Editing: the fields start from the toolbar's record.
void ToolbarEditor::fillFromRecord()
{
    const TbrRec& rec = m_needs.set.Tbrs[m_toolbar];
    m_fields[Name]->setText(textFromBytes(rec.Name));
    m_fields[Path]->setText(textFromBytes(rec.Path));
    m_fields[IconFile]->setText(textFromBytes(rec.IconFile));
    m_fields[IconIndex]->setText(QString::number(rec.IconIndex));
    // A toolbar keeps its file for its whole life.
    m_fields[Path]->setReadOnly(true);
    QPalette locked = m_fields[Path]->palette();
    locked.setColor(QPalette::Base, locked.color(QPalette::Button));
    m_fields[Path]->setPalette(locked);
    m_browsePath->setEnabled(false);
}

ToolbarEditor::~ToolbarEditor() = default;

void ToolbarEditor::showEvent(QShowEvent* event)
{
    // Opened afresh for each use, so centred every time, on the screen it opens on.
    if (!event->spontaneous()) {
        keepOutOfTaskbar(*this);
        centreOnItsScreen(*this);
    }
    QDialog::showEvent(event);
}

void ToolbarEditor::buildControls()
{
    makeFields();
    makeBrowseButtons();
    layOut();
}

void ToolbarEditor::makeFields()
{
    for (int f = 0; f < FieldCount; ++f) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("txtNAME(%1)").arg(f));
        // Text only: a file dropped here would land as a URL nobody asked for.
        edit->setAcceptDrops(false);
        edit->installEventFilter(this);
        m_fields[f] = edit;
        connect(edit, &QLineEdit::textChanged, this,
                [this] { m_ok->setEnabled(!m_fields[Name]->text().isEmpty()); });
    }
    // It stands beside the icon's file box, under that box's label.
    m_fields[IconIndex]->setAccessibleName(QStringLiteral("Icon index"));
    m_fields[Name]->setMinimumWidth(m_fields[Name]->fontMetrics().averageCharWidth() * NameChars);
    {
        const QLineEdit* index = m_fields[IconIndex];
        QStyleOptionFrame option;
        option.initFrom(index);
        const QSize text(index->fontMetrics().horizontalAdvance(QLatin1String(IndexSample)),
                         index->fontMetrics().height());
        m_fields[IconIndex]->setFixedWidth(
            style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, index).width());
    }
}

void ToolbarEditor::makeBrowseButtons()
{
    const auto makeBrowse = [this](int i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QStringLiteral("btnOPEN(%1)").arg(i));
        b->setText(QStringLiteral("..."));
        b->setFocusPolicy(Qt::StrongFocus);
        return b;
    };
    m_browsePath = makeBrowse(0);
    m_browseIcon = makeBrowse(1);
    // Three dots say nothing when read out.
    m_browsePath->setAccessibleName(QStringLiteral("Browse for the toolbar file"));
    m_browseIcon->setAccessibleName(QStringLiteral("Browse for the icon"));
    connect(m_browsePath, &QToolButton::clicked, this, [this] { skipOnError("browsing for a toolbar file", [this] { browseToolbarFile(); }); });
    connect(m_browseIcon, &QToolButton::clicked, this, [this] { skipOnError("picking an icon", [this] { pickIcon(); }); });
}

// The fields in a grid with their labels and browse buttons, over the command row.
void ToolbarEditor::layOut()
{
    const char* captions[] = {"Name:", "Path:", "Icon:"};
    auto* labelFrame = new QFrame(this);
    labelFrame->setObjectName(QStringLiteral("corDISP(0)"));
    labelFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);

    // The labels sit in their frame, each on the row of its field; the frame is laid
    // under them, so the rows keep one height on both sides.
    auto* grid = new QGridLayout;
    grid->addWidget(labelFrame, 0, 0, 3, 1);
    const int inset = style()->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, this);
    for (int row = 0; row < 3; ++row) {
        auto* label = new QLabel(QString::fromLatin1(captions[row]), this);
        label->setObjectName(QStringLiteral("lblTXT(%1)").arg(row));
        label->setContentsMargins(inset, 0, inset, 0);
        label->setBuddy(m_fields[row]);
        grid->addWidget(label, row, 0);
    }
    grid->addWidget(m_fields[Name], 0, 1, 1, 3);
    grid->addWidget(m_fields[Path], 1, 1, 1, 2);
    grid->addWidget(m_browsePath, 1, 3);
    grid->addWidget(m_fields[IconFile], 2, 1);
    grid->addWidget(m_fields[IconIndex], 2, 2);
    grid->addWidget(m_browseIcon, 2, 3);
    grid->setColumnStretch(1, 1);

    const CommandButtons buttons = makeCommandButtons(this);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    m_ok->setEnabled(false);
    connect(m_ok, &QPushButton::clicked, this, [this] { skipOnError("taking the toolbar", [this] { okClicked(); }); });

    // The command row in an etched frame of its own.
    auto* commandFrame = new QFrame(this);
    commandFrame->setObjectName(QStringLiteral("corDISP(2)"));
    commandFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* commands = new QHBoxLayout(commandFrame);
    commands->addStretch();
    commands->addWidget(m_ok);
    commands->addWidget(m_cancel);

    auto* window = new QVBoxLayout(this);
    window->setSizeConstraint(QLayout::SetFixedSize);
    window->addLayout(grid);
    window->addWidget(commandFrame);

    QWidget* order[] = {m_fields[Name], m_fields[Path], m_browsePath, m_fields[IconFile],
                        m_fields[IconIndex], m_browseIcon, m_ok, m_cancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    m_fields[Name]->setFocus();
}

bool ToolbarEditor::eventFilter(QObject* watched, QEvent* event)
{
    // A box taking the focus offers its whole text, so typing replaces it; once the
    // event is over, since the click that gave the focus would put the cursor in after
    // it and so clear the selection.
    if (event->type() == QEvent::FocusIn)
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

ToolbarFields ToolbarEditor::fields() const
{
    ToolbarFields f;
    f.Name = toBytes(m_fields[Name]->text());
    f.IconFile = toBytes(m_fields[IconFile]->text());
    f.IconIndex = toolbarIconIndex(m_fields[IconIndex]->text()).value_or(0);
    if (m_purpose == ToolbarPurpose::Add)
        f.Path = composeToolbarPath(toBytes(m_fields[Path]->text()), f.Name, m_needs.dataFolder);
    else if (m_toolbar < m_needs.set.Tbrs.size())
        f.Path = m_needs.set.Tbrs[m_toolbar].Path;
    return f;
}

void ToolbarEditor::browseToolbarFile()
{
    m_fields[Path]->setFocus();
    CDialogs dlg(m_needs.dialogs, this);
    dlg.setDialogTitle(QStringLiteral("Open a Vyrelight Toolbar File"));
    dlg.setFlags(4);
    dlg.setFilename(m_fields[Path]->text());
    // A typed name without a folder means one in the data folder, so the dialog starts
    // there rather than in whatever folder the process happens to be in.
    if (QFileInfo(m_fields[Path]->text().trimmed()).isRelative())
        dlg.setInitDir(textFromBytes(m_needs.dataFolder));
    dlg.setFilter(QStringLiteral("Vyrelight Toolbar v2 File (VTB)|*.vtb|All Files|*.*"));
    dlg.showOpen();
    if (dlg.fileTitle().trimmed().isEmpty())
        return;
    // The whole path as the dialog gives it: the name is the file's, blanks and all.
    m_fields[Path]->setText(dlg.filename());
    if (m_fields[Name]->text().trimmed().isEmpty())
        m_fields[Name]->setText(textFromBytes(PathTitle(toBytes(dlg.filename()))));
}

void ToolbarEditor::pickIcon()
{
    m_fields[IconFile]->setFocus();
    // The picker counts its icons from 0, the fields from 1. With no icon file in the
    // box it starts wherever its previous use left it.
    IconPreset preset;
    if (const QString file = m_fields[IconFile]->text(); !file.trimmed().isEmpty()) {
        preset.file = file;
        preset.position = std::max(toolbarIconIndex(m_fields[IconIndex]->text()).value_or(0) - 1, 0);
    }
    const QPointer<ToolbarEditor> self(this);
    m_needs.icons.pick(this, preset, [self](const std::optional<IconChoice>& icon) {
        if (!self || !icon)
            return;
        self->m_fields[IconFile]->setText(icon->file);
        self->m_fields[IconIndex]->setText(QString::number(icon->position + 1));
    });
}

void ToolbarEditor::okClicked()
{
    const auto refuse = [this](const QString& why) {
        m_needs.prompter.message(QString::fromLatin1(msg::ProgramTitle), why, Prompter::Exclamation);
    };
    if (!toolbarIconIndex(m_fields[IconIndex]->text())) {
        refuse(QStringLiteral("The field \"Icon index\" takes a whole number from 0 (no icon) to 32767."));
        m_fields[IconIndex]->setFocus();
        return;
    }
    if (const std::optional<QString> bad = forbiddenCharacter(QStringLiteral("Icon index"),
                                                              toBytes(m_fields[IconIndex]->text()))) {
        refuse(*bad);
        m_fields[IconIndex]->setFocus();
        return;
    }
    const ToolbarFields f = fields();
    const std::optional<std::uint8_t> editing =
        m_purpose == ToolbarPurpose::Edit ? std::optional(m_toolbar) : std::nullopt;
    if (const std::optional<QString> why = toolbarRefusal(f, m_needs.set, editing, m_needs.dataFolder)) {
        refuse(*why);
        return;
    }
    if (m_needs.host.storeToolbar(m_purpose, m_toolbar, f))
        accept();
}
