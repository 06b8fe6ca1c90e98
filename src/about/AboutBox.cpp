#include "about/AboutBox.h"

#include "platform/Centre.h"
#include "platform/PreferredFont.h"
#include "platform/Log.h"
#include "platform/SkipOnError.h"
#include "platform/Shell.h"
#include "store/Messages.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>

#include <exception>
#include <optional>

namespace {

constexpr const char* WebAddress = "https://vyrelight.org/";
// Kept exactly as the mail program should show it: its blanks are not encoded.
constexpr const char* MailSubject = "Vyrelight Toolbar v2 About Mail";

const QColor Green(0, 192, 0);
const QColor LightGreen(128, 255, 128);

// The pictures are drawn here so that nothing but code has to ship.

// The program's icon: a small floating toolbar with its claws and three buttons.
QPixmap iconPicture()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 60, 20), 1));
    p.setBrush(QColor(200, 230, 200));
    p.drawRoundedRect(QRectF(1.5, 9.5, 29, 13), 2, 2);
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(4 + 2 * i, 12), QPointF(4 + 2 * i, 20));
    const QColor colours[3] = {QColor(0, 160, 0), QColor(40, 120, 220), QColor(230, 170, 30)};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(colours[i]);
        p.drawRect(QRectF(11 + 6.5 * i, 12, 5, 8));
    }
    p.end();
    return QPixmap::fromImage(image);
}

// The logo: the name over a rising sun.
QPixmap logoPicture()
{
    QImage image(113, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient sun(QPointF(56, 64), 40);
    sun.setColorAt(0.0, QColor(255, 230, 120));
    sun.setColorAt(0.5, QColor(230, 120, 30));
    sun.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.fillRect(image.rect(), sun);
    p.setPen(QPen(Green, 1));
    p.drawLine(0, 52, 112, 52);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(20);
    font.setBold(true);
    p.setFont(font);
    QLinearGradient ink(0, 10, 0, 36);
    ink.setColorAt(0.0, QColor(200, 255, 200));
    ink.setColorAt(1.0, QColor(0, 160, 0));
    p.setPen(QPen(QBrush(ink), 1));
    p.drawText(QRect(0, 6, 113, 30), Qt::AlignCenter, QStringLiteral("Vyrelight"));
    p.end();
    return QPixmap::fromImage(image);
}

// The close picture: a green ring holding a cross.
QPixmap closePicture()
{
    QImage image(54, 53, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Green, 3));
    p.setBrush(QColor(0, 48, 0));
    p.drawEllipse(QRectF(5, 4.5, 44, 44));
    p.setPen(QPen(LightGreen, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 18.5), QPointF(35, 34.5));
    p.drawLine(QPointF(35, 18.5), QPointF(19, 34.5));
    p.end();
    return QPixmap::fromImage(image);
}

} // namespace

QString AboutBox::mailLink()
{
    return QStringLiteral("mailto:") + QLatin1String(msg::ContactAddress)
         + QStringLiteral("?subject=") + QLatin1String(MailSubject);
}

QString AboutBox::webLink()
{
    return QLatin1String(WebAddress);
}

AboutBox::AboutBox(Shell& shell, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_shell(shell)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Vyrelight Toolbar"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setMouseTracking(true);

    const auto picture = [this](const char* name, const QPixmap& pixmap) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setPixmap(pixmap);
        label->setFixedSize(pixmap.deviceIndependentSize().toSize());
        return label;
    };
    QLabel* icon = picture("imgIcon", iconPicture());
    QLabel* logo = picture("imgQUORREL", logoPicture());
    m_closePicture = picture("btnEND", closePicture());
    m_closePicture->installEventFilter(this);

    const auto divider = [this](int i) {
        auto* line = new QFrame(this);
        line->setObjectName(QStringLiteral("lnDIV(%1)").arg(i));
        line->setAutoFillBackground(true);
        QPalette lp = line->palette();
        lp.setColor(QPalette::Window, Green);
        line->setPalette(lp);
        line->setFixedHeight(1);
        return line;
    };

    const QString texts[LineCount] = {
        QStringLiteral("Vyrelight Toolbar v2, made by the Vyrelight project."),
        QStringLiteral("> ") + QLatin1String(msg::ContactAddress),
        QStringLiteral("> ") + QLatin1String(WebAddress),
        QStringLiteral("Free software, given as is, without warranty."),
    };
    const std::optional<QFont> font = preferredFont(QStringLiteral("Arial"), 8.25);
    for (int i = 0; i < LineCount; ++i) {
        auto* label = new QLabel(texts[i], this);
        label->setObjectName(QStringLiteral("lblINFO(%1)").arg(i));
        if (font)
            label->setFont(*font);
        QPalette lp = label->palette();
        lp.setColor(QPalette::WindowText, i == MailLine || i == WebLine ? LightGreen : Green);
        label->setPalette(lp);
        label->setMouseTracking(true);
        label->installEventFilter(this);
        if (i == MailLine || i == WebLine)
            label->setCursor(Qt::PointingHandCursor);
        m_lines[i] = label;
    }
    // The notice stands indented under the links.
    m_lines[Notice]->setIndent(40);

    // The pictures in a row with the close picture against the right edge; under them,
    // between two green lines, the credit and the links; the notice at the foot. The
    // box is as large as its texts need in the desktop's font, and no larger.
    auto* pictures = new QHBoxLayout;
    pictures->setContentsMargins(8, 4, 2, 0);
    pictures->setSpacing(0);
    pictures->addWidget(icon);
    pictures->addSpacing(40);
    pictures->addWidget(logo);
    pictures->addStretch();
    pictures->addWidget(m_closePicture);

    auto* text = new QVBoxLayout;
    text->setContentsMargins(8, 4, 6, 4);
    text->setSpacing(0);
    text->addWidget(divider(0));
    text->addSpacing(7);
    text->addWidget(m_lines[Credit]);
    text->addWidget(m_lines[MailLine]);
    text->addWidget(m_lines[WebLine]);
    text->addSpacing(6);
    text->addWidget(divider(1));
    text->addSpacing(7);
    text->addWidget(m_lines[Notice]);

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->setSizeConstraint(QLayout::SetFixedSize);
    box->addLayout(pictures);
    box->addLayout(text);
}

AboutBox::~AboutBox() = default;

void AboutBox::showEvent(QShowEvent* event)
{
    // Centred the first time, on the screen the box is on.
    if (!m_placed) {
        m_placed = true;
        centreOnItsScreen(*this);
    }
    QWidget::showEvent(event);
}

void AboutBox::setHighlight(int line)
{
    for (int i : {MailLine, WebLine}) {
        QFont f = m_lines[i]->font();
        f.setUnderline(i == line);
        m_lines[i]->setFont(f);
    }
}

void AboutBox::mouseMoveEvent(QMouseEvent* event)
{
    setHighlight(-1);
    QWidget::mouseMoveEvent(event);
}

void AboutBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_closePicture) {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton
                && m_closePicture->rect().contains(me->position().toPoint())) {
                close();
                return true;
            }
        }
        return QWidget::eventFilter(watched, event);
    }
    for (int i = 0; i < LineCount; ++i) {
        if (watched != m_lines[i])
            continue;
        switch (event->type()) {
        case QEvent::MouseMove:
            setHighlight(i == MailLine || i == WebLine ? i : -1);
            // Taken here: passed on, the box's own move would clear it again.
            return true;
        case QEvent::Leave:
            // Leaving the window straight from a link leaves no stale highlight behind.
            setHighlight(-1);
            break;
        case QEvent::MouseButtonRelease: {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton && m_lines[i]->rect().contains(me->position().toPoint()))
                lineClicked(i);
            break;
        }
        default:
            break;
        }
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void AboutBox::lineClicked(int line)
{
    if (line != MailLine && line != WebLine)
        return;
    const QString link = line == MailLine ? mailLink() : webLink();
    // A missing mail program or browser is not the user's concern here: nothing is
    // shown, and the log keeps the reason.
    skipOnError("opening a link of the about box", [&] {
        if (const Result<void> opened = m_shell.openLink(link); !opened)
            qCWarning(lcVyre) << "About box:" << link << "was not opened:" << QString::fromLocal8Bit(opened.reason());
    });
}

QPixmap programIconPicture()
{
    return iconPicture();
}
