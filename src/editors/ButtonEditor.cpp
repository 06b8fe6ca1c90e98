#include "editors/ButtonEditor.h"

#include "dialogs/CDialogs.h"
#include "editors/ApplicationChooser.h"
#include "editors/CommandButtons.h"
#include "editors/IconPicker.h"
#include "platform/Centre.h"
#include "platform/DropItems.h"
#include "platform/LosslessText.h"
#include "platform/Prompter.h"
#include "platform/ReaderName.h"
#include "platform/SkipOnError.h"
#include "platform/TaskbarEntry.h"
#include "store/Messages.h"
#include "store/Numbers.h"
#include "store/ToolbarSet.h"

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QDropEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <vector>

namespace {

QString caption(ButtonPurpose p)
{
    return p == ButtonPurpose::Add ? QStringLiteral("Add Button") : QStringLiteral("Edit Button");
}

// The first local file a drop carries, by its name's bytes, or nothing.
QString droppedFile(const QMimeData* data)
{
    if (!data || !carriesItems(data))
        return {};
    for (const std::string& item : dropItems(data))
        if (!item.empty() && item[0] == '/')
            return textFromBytes(item);
    return {};
}

// What a user here picks as a button's target: application entries, scripts and
// AppImages, documents; programs without an extension are among all files.
const QString TargetFilter = QStringLiteral(
    "Applications (DESKTOP)|*.desktop|Scripts and AppImages (SH, PY, APPIMAGE)|*.sh;*.py;*.pl;*.AppImage;*.appimage|"
    "Documents (TXT, PDF, ODT, DOC)|*.txt;*.pdf;*.odt;*.ods;*.doc;*.docx;*.html|All Files|*.*");

// A frame of the dialog's, found by its name.
QFrame* makeFrame(QWidget* parent, const char* name, int style)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameStyle(style);
    return frame;
}

} // namespace

ButtonEditor::ButtonEditor(ButtonPurpose purpose, Needs needs, QWidget* parent)
    : QDialog(parent)
    , m_purpose(purpose)
    , m_needs(needs)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // A small tool window: a thin title bar with a close box, no task-bar entry.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(caption(purpose));
    buildControls();
    updateOk();
    // The name comes first, as in the tab order.
    m_boxes[ButtonFields::Name]->setFocus();
}

ButtonEditor::~ButtonEditor() = default;

void ButtonEditor::buildControls()
{
    // Layouts size every control for the desktop's font, so each caption shows whole at
    // any size and scale.
    makeModeRow();
    makeBoxes();
    makeChoosers();
    const CommandButtons buttons = makeCommandButtons(this);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    m_cancel->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &ButtonEditor::confirm);
    layOut();
    m_modes[0]->setChecked(true);
    setTabOrderOfControls();
}

// The mode buttons, and the toolbars a recall button may show and hide.
void ButtonEditor::makeModeRow()
{
    m_modes[0] = new QRadioButton(QStringLiteral("Button"), this);
    m_modes[1] = new QRadioButton(QStringLiteral("Separator"), this);
    for (int i = 0; i < 2; ++i) {
        m_modes[i]->setObjectName(QStringLiteral("optMODE(%1)").arg(i));
        // toggled, not clicked: the program's own choice must switch the mode too, since an
        // edited separator is put into separator mode by selecting it.
        connect(m_modes[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                setSeparatorMode(i == 1);
        });
    }
    // The other toolbars, to make a button that shows and hides one of them. The default
    // toolbar is always shown, so it is never offered.
    m_recall = new QComboBox(this);
    m_recall->setObjectName(QStringLiteral("cbxTbrs"));
    m_recall->setPlaceholderText(QStringLiteral("Choose a Toolbar to Recall"));
    // The placeholder goes once a toolbar is chosen, and with it all the list said.
    m_recall->setAccessibleName(QStringLiteral("Toolbar to recall"));
    nameListForReaders(*m_recall);
    m_recall->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    const ToolbarSet& set = m_needs.set;
    for (int i = 1; i <= set.TbrLast && i < static_cast<int>(set.Tbrs.size()); ++i)
        m_recall->addItem(textFromBytes(set.Tbrs[i].Name));
    m_recall->setCurrentIndex(-1);
    m_recall->setVisible(m_recall->count() > 0);
    connect(m_recall, &QComboBox::activated, this, &ButtonEditor::recallChosen);
}

void ButtonEditor::makeBoxes()
{
    for (int f = 0; f < ButtonFields::FieldCount; ++f) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("txtNAME(%1)").arg(f));
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textChanged, this, &ButtonEditor::updateOk);
        m_boxes[f] = edit;
    }
    // The target box takes a dropped file in place of text.
    m_boxes[ButtonFields::Executable]->setAcceptDrops(true);
    // The icon index box is as wide as the largest index.
    QLineEdit* index = m_boxes[ButtonFields::IconIndex];
    // It stands beside the icon's file box, under that box's label.
    index->setAccessibleName(QStringLiteral("Icon index"));
    index->setFixedWidth(index->fontMetrics().horizontalAdvance(QStringLiteral("000000"))
                         + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, index) + 8);
}

// The browse buttons and the choosers of a target.
void ButtonEditor::makeChoosers()
{
    // The browse buttons are as narrow as their dots allow and as tall as the boxes.
    m_browseTarget = new QToolButton(this);
    m_browseTarget->setObjectName(QStringLiteral("btnOPEN(0)"));
    m_browseIcon = new QToolButton(this);
    m_browseIcon->setObjectName(QStringLiteral("btnOPEN(1)"));
    // Three dots say nothing when read out.
    m_browseTarget->setAccessibleName(QStringLiteral("Browse for the executable"));
    m_browseIcon->setAccessibleName(QStringLiteral("Browse for the icon"));
    for (QToolButton* b : {m_browseTarget, m_browseIcon}) {
        b->setText(QStringLiteral("..."));
        b->setFocusPolicy(Qt::StrongFocus);
        const QSize hint = b->sizeHint();
        b->setFixedSize(hint.width(), std::max(hint.height(), m_boxes[0]->sizeHint().height()));
    }
    connect(m_browseTarget, &QToolButton::clicked, this, &ButtonEditor::browseTarget);
    connect(m_browseIcon, &QToolButton::clicked, this, &ButtonEditor::pickIcon);
    // The installed applications by name and icon: what a user looks for first, with no
    // path to know.
    m_applications = new QPushButton(QStringLiteral("A&pplications..."), this);
    m_applications->setObjectName(QStringLiteral("btnAPPS"));
    m_applications->setAutoDefault(false);
    m_applications->setVisible(m_needs.applications != nullptr);
    connect(m_applications, &QPushButton::clicked, this, &ButtonEditor::chooseApplication);
    // A folder by the desktop's folder chooser: the file dialog above shows folders only
    // to open them. Alt+O is Ok's, so F is its key.
    m_folder = new QPushButton(QStringLiteral("&Folder..."), this);
    m_folder->setObjectName(QStringLiteral("btnFOLDER"));
    m_folder->setAutoDefault(false);
    connect(m_folder, &QPushButton::clicked, this, &ButtonEditor::chooseFolder);
}

void ButtonEditor::layOut()
{
    auto* top = new QHBoxLayout;
    top->addWidget(m_modes[0]);
    top->addWidget(m_modes[1]);
    top->addStretch(1);
    top->addWidget(m_recall);

    QFrame* etch = makeFrame(this, "corDISP(1)", QFrame::HLine | QFrame::Sunken);

    QFrame* commands = makeFrame(this, "corDISP(2)", QFrame::StyledPanel | QFrame::Sunken);
    auto* row = new QHBoxLayout(commands);
    row->addStretch(1);
    row->addWidget(m_ok);
    row->addWidget(m_cancel);
    row->addStretch(1);

    auto* window = new QVBoxLayout(this);
    window->setSizeConstraint(QLayout::SetFixedSize);
    window->addLayout(top);
    window->addWidget(etch);
    window->addLayout(layOutBoxes());
    window->addWidget(commands);
}

// The boxes in a grid with their labels and choosers.
QGridLayout* ButtonEditor::layOutBoxes()
{
    QFrame* labels = makeFrame(this, "corDISP(0)", QFrame::StyledPanel | QFrame::Sunken);
    const QString captions[] = {QStringLiteral("Name:"), QStringLiteral("Executable:"),
                                QStringLiteral("Parameters:"), QStringLiteral("Icon:")};
    // The labels stand in their frame, each level with its box: the frame lies under the
    // first column of the same grid.
    const int hSpacing = style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, this);
    auto* grid = new QGridLayout;
    grid->addWidget(labels, 0, 0, 4, 1);
    for (int row = 0; row < 4; ++row) {
        auto* label = new QLabel(captions[row], this);
        label->setObjectName(QStringLiteral("lblTXT(%1)").arg(row));
        label->setContentsMargins(hSpacing, 0, hSpacing, 0);
        label->setBuddy(m_boxes[row]);
        grid->addWidget(label, row, 0);
    }
    // The target's choosers follow its box in one row.
    int lastColumn = 4;
    if (m_needs.applications)
        grid->addWidget(m_applications, 1, lastColumn++);
    grid->addWidget(m_folder, 1, lastColumn);
    grid->addWidget(m_boxes[ButtonFields::Name], 0, 1, 1, lastColumn);
    grid->addWidget(m_boxes[ButtonFields::Executable], 1, 1, 1, 2);
    grid->addWidget(m_browseTarget, 1, 3);
    grid->addWidget(m_boxes[ButtonFields::Parameters], 2, 1, 1, lastColumn);
    grid->addWidget(m_boxes[ButtonFields::IconFile], 3, 1);
    grid->addWidget(m_boxes[ButtonFields::IconIndex], 3, 2);
    grid->addWidget(m_browseIcon, 3, 3);
    grid->setColumnStretch(1, 1);
    // Wide enough for a path of some length.
    m_boxes[ButtonFields::Executable]->setMinimumWidth(
        m_boxes[0]->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 28);
    return grid;
}

void ButtonEditor::setTabOrderOfControls()
{
    std::vector<QWidget*> order = {m_boxes[0], m_boxes[1], m_browseTarget, m_boxes[2], m_boxes[3], m_boxes[4],
                                   m_browseIcon, m_ok, m_cancel, m_modes[0], m_modes[1], m_recall};
    // Last, after the controls the editor always had, so their order stays as users
    // know it; Alt+P and Alt+F reach them from anywhere.
    if (m_needs.applications)
        order.push_back(m_applications);
    order.push_back(m_folder);
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void ButtonEditor::openModal()
{
    // Over the configuration window alone: the toolbars stay usable meanwhile.
    setWindowModality(parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    show();
}

void ButtonEditor::showEvent(QShowEvent* event)
{
    keepOutOfTaskbar(*this);
    // Centred on its screen when it first shows, wherever its opener is.
    if (!m_placed) {
        m_placed = true;
        centreOnItsScreen(*this);
    }
    QDialog::showEvent(event);
}

void ButtonEditor::fill(const BtnRec& button)
{
    if (button.Kind == KindSeparator) {
        m_modes[1]->setChecked(true);
        return;
    }
    setFields(ButtonFields::fromButton(button));
}

void ButtonEditor::takeTarget(const QString& path)
{
    m_boxes[ButtonFields::Executable]->setText(path);
    complete(ButtonFields::Executable);
}

ButtonFields ButtonEditor::fields() const
{
    ButtonFields f;
    for (int i = 0; i < ButtonFields::FieldCount; ++i)
        f.text[i] = m_boxes[i]->text();
    return f;
}

bool ButtonEditor::separatorMode() const
{
    return m_modes[1]->isChecked();
}

void ButtonEditor::setFields(const ButtonFields& f)
{
    for (int i = 0; i < ButtonFields::FieldCount; ++i)
        if (m_boxes[i]->text() != f.text[i])
            m_boxes[i]->setText(f.text[i]);
}

void ButtonEditor::setSeparatorMode(bool on)
{
    // The texts stay in the boxes, should the user go back to a button; a separator
    // stores none of them.
    for (QLineEdit* b : m_boxes)
        b->setEnabled(!on);
    m_browseTarget->setEnabled(!on);
    m_browseIcon->setEnabled(!on);
    m_applications->setEnabled(!on);
    m_folder->setEnabled(!on);
    updateOk();
}

void ButtonEditor::updateOk()
{
    if (m_ok)
        m_ok->setEnabled(okAllowed(fields(), separatorMode()));
}

void ButtonEditor::complete(ButtonFields::Field left)
{
    if (left != ButtonFields::Executable)
        return;
    ButtonFields f = fields();
    if (completeFromTarget(f))
        setFields(f);
}

void ButtonEditor::recallChosen(int position)
{
    if (position < 0)
        return;
    m_boxes[ButtonFields::Name]->setText(m_recall->itemText(position));
    m_boxes[ButtonFields::Executable]->setText(QLatin1String(RecallMarker));
    m_boxes[ButtonFields::Parameters]->setText(QString::number(position + 1));
}

void ButtonEditor::browseTarget()
{
    QLineEdit* target = m_boxes[ButtonFields::Executable];
    target->setFocus();
    CDialogs dialog(m_needs.dialogs, this);
    dialog.setDialogTitle(QStringLiteral("Button Executable"));
    dialog.setFlags(4); // no read-only check box
    dialog.setFilename(target->text());
    dialog.setFilter(TargetFilter);
    // Where the current target lies, or else where the program was started.
    const QString folder = QFileInfo(target->text()).absolutePath();
    dialog.setInitDir(!target->text().trimmed().isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::currentPath());
    skipOnError("browsing for the target", [&] { dialog.showOpen(); });
    // A cancelled dialog leaves the title empty: nothing changes.
    if (dialog.fileTitle().trimmed().isEmpty())
        return;
    ButtonFields f = fields();
    takeChosenTarget(f, dialog.filename());
    setFields(f);
}

void ButtonEditor::pickIcon()
{
    m_boxes[ButtonFields::IconFile]->setFocus();
    const ButtonFields f = fields();
    // Neither box filled: the picker starts where it was left. A recall button has no
    // file of its own to offer.
    IconPreset preset;
    if (!f[ButtonFields::Executable].trimmed().isEmpty())
        preset.file = f[ButtonFields::Executable] == QLatin1String(RecallMarker) ? QString() : f[ButtonFields::Executable];
    if (!f[ButtonFields::IconFile].trimmed().isEmpty()) {
        preset.file = f[ButtonFields::IconFile];
        // The boxes count icons from 1, the picker from 0.
        const double index = leadingNumber(bytesFromText(f[ButtonFields::IconIndex]));
        preset.position = index <= 0 || index > 32767 ? 0 : static_cast<int>(index) - 1;
    }
    const QPointer<ButtonEditor> self(this);
    skipOnError("picking an icon", [&] {
        m_needs.icons.pick(this, preset, [self](const std::optional<IconChoice>& chosen) {
            if (!self || !chosen)
                return;
            self->m_boxes[ButtonFields::IconFile]->setText(chosen->file);
            self->m_boxes[ButtonFields::IconIndex]->setText(QString::number(chosen->position + 1));
        });
    });
}

void ButtonEditor::chooseApplication()
{
    if (!m_needs.applications)
        return;
    const QPointer<ButtonEditor> self(this);
    skipOnError("choosing an application", [&] {
        m_needs.applications->choose(this, [self](const std::optional<ChosenApplication>& chosen) {
            if (!self || !chosen)
                return;
            // The entry starts the application by the desktop's rules and shows its icon.
            self->m_boxes[ButtonFields::Name]->setText(chosen->name);
            self->m_boxes[ButtonFields::Executable]->setText(chosen->file);
            self->m_boxes[ButtonFields::IconFile]->setText(chosen->file);
            self->m_boxes[ButtonFields::IconIndex]->setText(QStringLiteral("1"));
            self->m_ok->setFocus();
        });
    });
}

void ButtonEditor::chooseFolder()
{
    QLineEdit* target = m_boxes[ButtonFields::Executable];
    target->setFocus();
    // The target's folder: itself when it is one, else the one it lies in; else home.
    const QString typed = target->text();
    QString start = QDir::homePath();
    if (!typed.trimmed().isEmpty() && typed != QLatin1String(RecallMarker)) {
        const QString parent = QFileInfo(typed).absolutePath();
        if (factsOfPath(typed).folder)
            start = typed;
        else if (factsOfPath(parent).folder)
            start = parent;
    }
    CDialogs dialog(m_needs.dialogs, this);
    dialog.setDialogTitle(QStringLiteral("Button Folder"));
    dialog.setInitDir(start);
    skipOnError("choosing a folder", [&] { dialog.showFolder(); });
    if (dialog.apiReturn() != 1)
        return;
    ButtonFields f = fields();
    takeChosenFolder(f, dialog.filename());
    setFields(f);
}

void ButtonEditor::confirm()
{
    // Nothing in the set changes unless the boxes make a button the files can hold and
    // the host took it.
    const ButtonOutcome outcome = makeButton(fields(), separatorMode());
    if (!outcome.button) {
        m_needs.prompter.message(QString::fromLatin1(msg::ProgramTitle), outcome.problem, Prompter::Exclamation);
        return;
    }
    if (m_needs.host.storeButton(m_purpose, *outcome.button))
        accept();
}

bool ButtonEditor::eventFilter(QObject* watched, QEvent* event)
{
    int f = 0;
    while (f < ButtonFields::FieldCount && m_boxes[f] != watched)
        ++f;
    if (f == ButtonFields::FieldCount)
        return QDialog::eventFilter(watched, event);
    QLineEdit* edit = m_boxes[f];
    switch (event->type()) {
    case QEvent::FocusIn:
        // The whole text, whether reached by the keyboard or the mouse: the click that
        // gave the focus would otherwise put the cursor in at once.
        QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        break;
    case QEvent::FocusOut:
        complete(static_cast<ButtonFields::Field>(f));
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        if (f == ButtonFields::Executable && !droppedFile(static_cast<QDropEvent*>(event)->mimeData()).isEmpty()) {
            static_cast<QDropEvent*>(event)->acceptProposedAction();
            return true;
        }
        break;
    case QEvent::Drop:
        if (f == ButtonFields::Executable) {
            // Only the first file counts; the others are left.
            const QString file = droppedFile(static_cast<QDropEvent*>(event)->mimeData());
            if (!file.isEmpty()) {
                static_cast<QDropEvent*>(event)->acceptProposedAction();
                takeTarget(file);
                return true;
            }
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}
