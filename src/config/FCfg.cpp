#include "config/FCfg.h"

#include "config/ConfigActions.h"
#include "platform/Pointer.h"
#include "store/Messages.h"
#include "store/ToolbarSet.h"
#include "toolbar/BuiltinPictures.h"
#include "toolbar/SkipOnError.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>

#include <utility>

namespace {

constexpr int VersionMajor = 2;
constexpr int VersionMinor = 0;
constexpr int VersionRevision = 3;

// Window size in twips; controls are placed in twips too and converted with the
// screen's own twips per pixel.
constexpr int ClientWidth = 5520;
constexpr int ClientHeight = 4350;
// A drop-down list is as high as its font makes it; 315 twips is one line of 8 points.
constexpr int ComboHeight = 315;

// The strip along the window's left edge: 26 x 292 pixels, drawn here so that no image
// file has to ship. A dusk gradient with the program's name running upwards.
QPixmap sideBarPicture()
{
    QImage image(26, 292, QImage::Format_RGB888);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 292);
    sky.setColorAt(0.0, QColor(18, 24, 64));
    sky.setColorAt(0.6, QColor(40, 84, 140));
    sky.setColorAt(1.0, QColor(236, 168, 72));
    p.fillRect(image.rect(), sky);
    p.setPen(QColor(255, 255, 255, 90));
    for (int y = 14; y < 120; y += 23)
        p.drawPoint(5 + (y * 7) % 16, y);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(255, 248, 220));
    p.translate(19, 284);
    p.rotate(-90);
    p.drawText(0, 0, QStringLiteral("Vyrelight"));
    p.end();
    return QPixmap::fromImage(image);
}

QString lineFor(const BtnRec& b)
{
    if (b.Kind == KindSeparator)
        return QString(11, QChar(0x2014));
    if (QString::fromLocal8Bit(b.Executable).trimmed().isEmpty())
        return {};
    return QString::fromLocal8Bit(b.Name);
}

} // namespace

QString VersionText(int major, int minor, int revision)
{
    return QStringLiteral("v%1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QChar('0'))
        .arg(revision, 4, 10, QChar('0'));
}

FCfg::FCfg(ToolbarSet& set, const Pointer& pointer, ConfigActions& actions, QWidget* parent)
    : QDialog(parent)
    , m_set(set)
    , m_pointer(pointer)
    , m_actions(actions)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QString::fromLatin1(msg::ProgramTitle));
    setFixedSize(qRound(ClientWidth / m_pointer.twipsPerPixelX()),
                 qRound(ClientHeight / m_pointer.twipsPerPixelY()));

    // The two pictures the toolbar windows take are plain data, ready before any of them
    // is built; drawing the claws measures no text, so it loads no fonts.
    m_transfer = QImage(16, 16, QImage::Format_ARGB32_Premultiplied);
    m_transfer.fill(Qt::transparent);
    m_claws = builtinClawsPicture();

    // The controls wait for the first showing: the first caption measured would load the
    // whole font database, which a start-up showing toolbars without text never needs.
}

FCfg::~FCfg() = default;

void FCfg::setTwips(QWidget* w, int left, int top, int width, int height) const
{
    w->setGeometry(twipsToPixels(m_pointer, left, top, width, height));
}

void FCfg::setVisible(bool visible)
{
    if (visible)
        ensureControls();
    QDialog::setVisible(visible);
}

void FCfg::ensureControls()
{
    if (built())
        return;
    buildControls();
    // The toolbar list comes from the set as it is now; a choice made before the window
    // existed is carried out as the user's own choice would be.
    FillTbrList();
    if (const std::optional<std::uint8_t> t = std::exchange(m_pendingTbr, std::nullopt))
        SelectTbr(*t);
}

void FCfg::buildControls()
{
    // The controls were sized for a dialog font of 8.25 points with Arial's metrics;
    // wider or larger system fonts would cut the longer captions off.
    QFont dialogFont(QStringLiteral("Arial"));
    dialogFont.setPointSizeF(8.25);
    setFont(dialogFont);

    // Frames first: they lie behind the controls they group.
    const auto frame = [this](const QString& name, const QString& title, int l, int t, int w,
                              int h) {
        auto* box = new QGroupBox(title, this);
        box->setObjectName(name);
        // Centred, the captions stay clear of the list that overlaps the Buttons frame.
        box->setAlignment(Qt::AlignHCenter);
        setTwips(box, l, t, w, h);
        return box;
    };
    frame(QStringLiteral("corA(2)"), {}, 480, 15, 5010, 540);
    frame(QStringLiteral("corA(3)"), {}, 2340, 2130, 975, 870);
    frame(QStringLiteral("corA(4)"), {}, 3960, 3660, 1530, 630);
    frame(QStringLiteral("corA(1)"), QStringLiteral("Buttons"), 2340, 600, 975, 1455);
    frame(QStringLiteral("corA(0)"), QStringLiteral("Modes"), 4035, 600, 2055, 2415);
    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("corBEVEL"));
    bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    setTwips(bevel, 2340, 3540, 3150, 30);

    m_picSideBar = new QLabel(this);
    m_picSideBar->setObjectName(QStringLiteral("picSideBar"));
    m_picSideBar->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picSideBar->setPixmap(sideBarPicture());
    setTwips(m_picSideBar, 0, 0, 495, 4455);

    m_imgTBR = new QLabel(this);
    m_imgTBR->setObjectName(QStringLiteral("imgTBR"));
    m_imgTBR->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTwips(m_imgTBR, 510, 150, 255, 255);

    m_cbxTbrs = new QComboBox(this);
    m_cbxTbrs->setObjectName(QStringLiteral("cbxTbrs"));
    setTwips(m_cbxTbrs, 840, 120, 1580, ComboHeight);

    const auto button = [this](int index, const QString& caption, int l, int t, int w, int h) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QStringLiteral("btnCfg(%1)").arg(index));
        setTwips(b, l, t, w, h);
        m_btnCfg[index] = b;
        connect(b, &QPushButton::clicked, this, [this, index] { btnCfgClick(index); });
    };
    button(4, QStringLiteral("&Add"), 2640, 120, 855, 375);
    button(6, QStringLiteral("&Edit"), 3600, 120, 855, 375);
    button(5, QStringLiteral("&Del"), 4560, 120, 855, 375);

    m_lstBtns = new QListWidget(this);
    m_lstBtns->setObjectName(QStringLiteral("lstBtns"));
    QFont listFont(QStringLiteral("Arial"));
    listFont.setPointSizeF(8.25);
    m_lstBtns->setFont(listFont);
    m_lstBtns->setSelectionMode(QAbstractItemView::SingleSelection);
    setTwips(m_lstBtns, 480, 600, 1935, 3630);

    button(1, QStringLiteral("&Add"), 2640, 840, 855, 375);
    button(2, QStringLiteral("&Edit"), 2640, 1320, 855, 375);
    button(3, QStringLiteral("&Del"), 2640, 1800, 855, 375);

    m_vsbPos = new QScrollBar(Qt::Vertical, this);
    m_vsbPos->setObjectName(QStringLiteral("vsbPos"));
    m_vsbPos->setRange(0, 0);
    m_vsbPos->setSingleStep(1);
    m_vsbPos->setPageStep(1);
    m_vsbPos->setFocusPolicy(Qt::StrongFocus);
    m_vsbPos->setEnabled(false);
    setTwips(m_vsbPos, 2715, 2400, 375, 375);

    const QString captions[6] = {QStringLiteral("Vertical"),     QStringLiteral("Captions"),
                                 QStringLiteral("Always On Top"), QStringLiteral("Visible"),
                                 QStringLiteral("Auto Hide"),     QStringLiteral("UnMoveable")};
    for (int m = 0; m < ModeCount; ++m) {
        auto* c = new QCheckBox(captions[m], this);
        c->setObjectName(QStringLiteral("chkMode(%1)").arg(m));
        // The Modes frame's edge runs under the boxes; each box paints its own ground.
        c->setAutoFillBackground(true);
        setTwips(c, 3960, 840 + 360 * m, 1455, 255);
        m_chkMode[m] = c;
        // clicked is raised by the user alone, never by setChecked.
        connect(c, &QCheckBox::clicked, this, [this, m] { chkModeClick(m); });
    }

    button(0, QStringLiteral("&Ok"), 4290, 3840, 1095, 375);
    m_btnCfg[0]->setDefault(true);

    m_lblVER = new QLabel(VersionText(VersionMajor, VersionMinor, VersionRevision), this);
    m_lblVER->setObjectName(QStringLiteral("lblVER"));
    QFont small;
    small.setFamilies({QStringLiteral("Small Fonts"), QStringLiteral("DejaVu Sans"),
                       QStringLiteral("Arial")});
    small.setPointSizeF(6.75);
    m_lblVER->setFont(small);
    setTwips(m_lblVER, 2520, 4080, 1095, 135);

    m_imgClaws = new QLabel(this);
    m_imgClaws->setObjectName(QStringLiteral("imgClaws"));
    m_imgClaws->setPixmap(m_claws);
    setTwips(m_imgClaws, 2640, 3120, 255, 255);
    m_imgClaws->hide();

    m_imgTransfer = new QLabel(this);
    m_imgTransfer->setObjectName(QStringLiteral("imgTransfer"));
    setTwips(m_imgTransfer, 2760, 3240, 255, 255);
    m_imgTransfer->hide();

    QWidget* order[] = {m_cbxTbrs,   m_btnCfg[4],  m_btnCfg[6],  m_btnCfg[5],  m_lstBtns,
                        m_btnCfg[1], m_btnCfg[2],  m_btnCfg[3],  m_vsbPos,     m_chkMode[0],
                        m_chkMode[1], m_chkMode[2], m_chkMode[3], m_chkMode[4], m_chkMode[5],
                        m_btnCfg[0]};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // activated is the user's choice (mouse, keys or wheel); the program's own
    // selections go through SelectTbr, which runs the same steps.
    connect(m_cbxTbrs, &QComboBox::activated, this, [this](int index) {
        if (index >= 0)
            cbxTbrsClick(static_cast<std::uint8_t>(index));
    });
    connect(m_lstBtns, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            lstBtnsClick();
    });
    connect(m_lstBtns, &QListWidget::itemDoubleClicked, this, [this] { lstBtnsDblClick(); });
    connect(m_vsbPos, &QScrollBar::valueChanged, this, [this](int value) { vsbPosChange(value); });
}

bool FCfg::hasTbr(std::uint8_t t) const
{
    return !m_set.Tbrs.empty() && t <= m_set.TbrLast && t < m_set.Tbrs.size();
}

std::optional<std::uint8_t> FCfg::chosenTbr() const
{
    if (!built())
        return m_pendingTbr;
    const int index = m_cbxTbrs->currentIndex();
    if (index < 0 || index > 255)
        return std::nullopt;
    return static_cast<std::uint8_t>(index);
}

std::optional<int> FCfg::selectedBtn() const
{
    if (!built())
        return std::nullopt;
    const QListWidgetItem* item = m_lstBtns->currentItem();
    if (!item || !item->isSelected())
        return std::nullopt;
    bool ok = false;
    const int k = item->data(Qt::UserRole).toInt(&ok);
    if (!ok)
        return std::nullopt;
    return k;
}

bool FCfg::shows(std::uint8_t t) const
{
    return isVisible() && chosenTbr() == t;
}

void FCfg::setModeCheck(int m, bool on)
{
    // Without controls there is nothing to tick: the boxes are set from the set when the
    // window is first shown on a toolbar.
    if (m < 0 || m >= ModeCount || !built())
        return;
    const QSignalBlocker block(m_chkMode[m]);
    m_chkMode[m]->setChecked(on);
}

void FCfg::ShowConfig(std::uint8_t t)
{
    m_tag = QStringLiteral("1");
    // Toolbar t is chosen below; an earlier choice need not be carried out first.
    m_pendingTbr.reset();
    skipOnError("configuration window", [&] { ensureControls(); });
    skipOnError("configuration window", [&] { SelectTbr(t); });
    // cbxTbrs_Click cleared the mark; it stays set until the window is up.
    m_tag = QStringLiteral("1");
    skipOnError("configuration window", [&] { SetupPosBar(t); });
    if (!m_placed) {
        m_placed = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect r(QPoint(), size());
            r.moveCenter(screen->availableGeometry().center());
            move(r.topLeft());
        }
    }
    show();
    raise();
    activateWindow();
    m_tag = QStringLiteral("0");
}

void FCfg::SelectTbr(std::uint8_t t)
{
    if (!built()) {
        // Kept until the controls exist, and chosen then.
        if (hasTbr(t))
            m_pendingTbr = t;
        return;
    }
    if (t >= m_cbxTbrs->count())
        return;
    {
        const QSignalBlocker block(m_cbxTbrs);
        m_cbxTbrs->setCurrentIndex(t);
    }
    cbxTbrsClick(t);
}

void FCfg::FillTbrList()
{
    if (!built()) {
        // Nothing to fill: the list is filled from the set when the controls are made.
        if (m_pendingTbr && !hasTbr(*m_pendingTbr))
            m_pendingTbr.reset();
        return;
    }
    const int chosen = m_cbxTbrs->currentIndex();
    const QSignalBlocker block(m_cbxTbrs);
    m_cbxTbrs->clear();
    if (m_set.Tbrs.empty())
        return;
    for (int i = 0; i <= m_set.TbrLast && i < static_cast<int>(m_set.Tbrs.size()); ++i)
        m_cbxTbrs->addItem(QString::fromLocal8Bit(m_set.Tbrs[i].Name));
    m_cbxTbrs->setCurrentIndex(chosen < m_cbxTbrs->count() ? chosen : -1);
}

void FCfg::cbxTbrsClick(std::uint8_t t)
{
    m_tag = QStringLiteral("1");
    skipOnError("configuration window", [&] { SyncModeChecks(t); });
    skipOnError("configuration window", [&] { FillBtnList(t); });
    skipOnError("configuration window", [&] { ShowTbrPicture(t); });
    m_tag = QStringLiteral("0");
    m_btnCfg[5]->setEnabled(t != 0);
    refreshBtnCommands();
}

void FCfg::refreshBtnCommands()
{
    const bool any = m_lstBtns->count() > 0;
    m_btnCfg[2]->setEnabled(any);
    m_btnCfg[3]->setEnabled(any);
}

void FCfg::ShowTbrPicture(std::uint8_t t)
{
    if (!built() || !hasTbr(t))
        return;
    const QPixmap picture = m_actions.handlePicture(t);
    // A handle left without a picture (its window could not be built) is shown as the
    // claws it would carry.
    m_imgTBR->setPixmap(picture.isNull() ? m_claws : picture);
}

void FCfg::SyncModeChecks(std::uint8_t t)
{
    if (!built())
        return;
    m_chkMode[Visible]->setEnabled(t != 0);
    if (!hasTbr(t))
        return;
    const TbrRec& tbr = m_set.Tbrs[t];
    for (int m = 0; m < ModeCount; ++m)
        setModeCheck(m, isTrue(tbr.mode(m)));
}

void FCfg::FillBtnList(std::uint8_t t)
{
    if (!built())
        return;
    {
        const QSignalBlocker block(m_lstBtns);
        m_lstBtns->clear();
        if (hasTbr(t)) {
            const TbrRec& tbr = m_set.Tbrs[t];
            for (int k = 1; k <= tbr.BtnCount && k <= MaxButtons; ++k) {
                const QString line = lineFor(tbr.Btns[k]);
                if (line.isEmpty())
                    continue;
                auto* item = new QListWidgetItem(line, m_lstBtns);
                item->setData(Qt::UserRole, k);
            }
        }
    }
    if (m_lstBtns->count() > 0) {
        const bool already = m_lstBtns->currentRow() == 0;
        m_lstBtns->setCurrentRow(0);
        if (already)
            lstBtnsClick();
    }
    SetupPosBar(t);
}

void FCfg::SetupPosBar(std::uint8_t t)
{
    if (!built() || !hasTbr(t))
        return;
    const int count = m_set.Tbrs[t].BtnCount;
    if (count > 0) {
        // A smaller range may pull the value down; that is the program's change, not a
        // step of the user's.
        const bool armed = m_posArmed;
        m_posArmed = false;
        m_vsbPos->setMaximum(count - 1);
        m_posArmed = armed;
        m_vsbPos->setEnabled(true);
    } else {
        m_vsbPos->setEnabled(false);
    }
}

void FCfg::chkModeClick(int index)
{
    const std::optional<std::uint8_t> t = chosenTbr();
    if (!t)
        return;
    if (m_tag.toInt() == 0) {
        try {
            m_actions.applyMode(*t, index);
        } catch (...) {
            // A failed toggle must not leave every later click ignored.
            m_tag = QStringLiteral("0");
        }
    }
    // The box shows the flag, whether the click toggled it or was refused.
    if (hasTbr(*t))
        setModeCheck(index, isTrue(m_set.Tbrs[*t].mode(index)));
}

void FCfg::btnCfgClick(int index)
{
    const std::optional<std::uint8_t> t = chosenTbr();
    skipOnError("configuration window", [&] {
        switch (index) {
        case 0:
            hide();
            break;
        case 1:
            if (t)
                m_actions.addButton(*t);
            break;
        case 2:
            if (t && selectedBtn())
                m_actions.editButton(*t, *selectedBtn());
            break;
        case 3:
            if (t && selectedBtn())
                m_actions.deleteButton(*t, *selectedBtn());
            break;
        case 4:
            m_actions.addToolbar();
            break;
        case 5:
            if (t && *t != 0)
                m_actions.deleteToolbar(*t);
            break;
        case 6:
            if (t)
                m_actions.editToolbar(*t);
            break;
        default:
            break;
        }
    });
    refreshBtnCommands();
}

void FCfg::lstBtnsClick()
{
    m_posArmed = false;
    m_vsbPos->setValue(m_lstBtns->currentRow());
    m_posArmed = true;
}

void FCfg::lstBtnsDblClick()
{
    const std::optional<std::uint8_t> t = chosenTbr();
    const std::optional<int> k = selectedBtn();
    if (t && k)
        skipOnError("configuration window", [&] { m_actions.editButton(*t, *k); });
}

void FCfg::vsbPosChange(int value)
{
    if (m_posArmed) {
        const std::optional<std::uint8_t> t = chosenTbr();
        const QListWidgetItem* lineNew = m_lstBtns->item(value);
        const QListWidgetItem* lineOld = m_lstBtns->item(m_lastPos);
        if (t && lineNew && lineOld) {
            const int kNew = lineNew->data(Qt::UserRole).toInt();
            const int kOld = lineOld->data(Qt::UserRole).toInt();
            skipOnError("configuration window", [&] { m_actions.exchangeButtons(*t, kNew, kOld); });
            skipOnError("configuration window", [&] { FillBtnList(*t); });
            skipOnError("configuration window", [&] { m_lstBtns->setCurrentRow(value); });
        }
        // Stop a held arrow from repeating, let the input that queued up meanwhile run,
        // and keep the keyboard on the bar so the arrow keys go on moving this button.
        // Only after the user's own steps: selecting a line must not pull the focus out
        // of the list.
        const bool enabled = m_vsbPos->isEnabled();
        m_vsbPos->setEnabled(false);
        m_vsbPos->setEnabled(enabled);
        QCoreApplication::processEvents();
        m_vsbPos->setFocus();
    }
    m_lastPos = static_cast<std::uint8_t>(m_vsbPos->value());
}

void FCfg::closeEvent(QCloseEvent* event)
{
    // The window lives for the whole run; closing it only puts it away.
    event->ignore();
    hide();
}

void FCfg::reject()
{
    hide();
}
