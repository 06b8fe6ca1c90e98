#include "about/qrABOUT.h"

#include "platform/Log.h"
#include "platform/Pointer.h"
#include "platform/Shell.h"
#include "store/Messages.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>

namespace {

constexpr int ClientWidth = 4290;
constexpr int ClientHeight = 2475;
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

QString qrABOUT::mailLink()
{
    return QStringLiteral("mailto:") + QLatin1String(msg::ContactAddress)
         + QStringLiteral("?subject=") + QLatin1String(MailSubject);
}

QString qrABOUT::webLink()
{
    return QLatin1String(WebAddress);
}

qrABOUT::qrABOUT(Shell& shell, const Pointer& pointer, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_shell(shell)
    , m_pointer(pointer)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Vyrelight Toolbar"));
    setFixedSize(qRound(ClientWidth / m_pointer.twipsPerPixelX()),
                 qRound(ClientHeight / m_pointer.twipsPerPixelY()));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setMouseTracking(true);

    auto* imgIcon = new QLabel(this);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setPixmap(iconPicture());
    imgIcon->setFixedSize(32, 32);
    setTwipsAt(imgIcon, 120, 240);

    auto* imgQUORREL = new QLabel(this);
    imgQUORREL->setObjectName(QStringLiteral("imgQUORREL"));
    imgQUORREL->setPixmap(logoPicture());
    imgQUORREL->setFixedSize(113, 64);
    setTwipsAt(imgQUORREL, 1200, 60);

    m_btnEND = new QLabel(this);
    m_btnEND->setObjectName(QStringLiteral("btnEND"));
    m_btnEND->setPixmap(closePicture());
    m_btnEND->setFixedSize(54, 53);
    setTwipsAt(m_btnEND, 3450, 120);
    m_btnEND->installEventFilter(this);

    for (int i = 0; i < 2; ++i) {
        auto* line = new QFrame(this);
        line->setObjectName(QStringLiteral("lnDIV(%1)").arg(i));
        line->setAutoFillBackground(true);
        QPalette lp = line->palette();
        lp.setColor(QPalette::Window, Green);
        line->setPalette(lp);
        setTwips(line, 120, i == 0 ? 1080 : 2040, 4200 - 120, 0);
        line->setFixedHeight(1);
    }

    const QString texts[4] = {
        QStringLiteral("Vyrelight Toolbar v2, made by the Vyrelight project."),
        QStringLiteral("> ") + QLatin1String(msg::ContactAddress),
        QStringLiteral("> ") + QLatin1String(WebAddress),
        QStringLiteral("Free software, given as is, without warranty."),
    };
    const int places[4][4] = {
        {120, 1200, 4095, 255}, {120, 1440, 4095, 255}, {120, 1680, 4095, 255}, {720, 2160, 3495, 255}};
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(texts[i], this);
        label->setObjectName(QStringLiteral("lblINFO(%1)").arg(i));
        label->setFont(font);
        QPalette lp = label->palette();
        lp.setColor(QPalette::WindowText, i == 1 || i == 2 ? LightGreen : Green);
        label->setPalette(lp);
        label->setMouseTracking(true);
        label->installEventFilter(this);
        if (i == 1 || i == 2)
            label->setCursor(Qt::PointingHandCursor);
        setTwips(label, places[i][0], places[i][1], places[i][2], places[i][3]);
        m_lblINFO[i] = label;
    }
}

qrABOUT::~qrABOUT() = default;

void qrABOUT::setTwips(QWidget* w, int left, int top, int width, int height) const
{
    w->setGeometry(twipsToPixels(m_pointer, left, top, width, height));
}

void qrABOUT::setTwipsAt(QWidget* w, int left, int top) const
{
    w->move(qRound(left / m_pointer.twipsPerPixelX()), qRound(top / m_pointer.twipsPerPixelY()));
}

void qrABOUT::placeCloseButton()
{
    // Against the right edge, 30 twips in, whatever the screen's pixel size.
    const double x = m_pointer.twipsPerPixelX();
    const double left = width() * x - m_btnEND->width() * x - 30;
    m_btnEND->move(qRound(left / x), m_btnEND->y());
}

void qrABOUT::showEvent(QShowEvent* event)
{
    placeCloseButton();
    QWidget::showEvent(event);
}

void qrABOUT::setHighlight(int index)
{
    for (int i = 1; i <= 2; ++i) {
        QFont f = m_lblINFO[i]->font();
        f.setUnderline(i == index);
        m_lblINFO[i]->setFont(f);
    }
}

void qrABOUT::mouseMoveEvent(QMouseEvent* event)
{
    setHighlight(-1);
    QWidget::mouseMoveEvent(event);
}

void qrABOUT::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool qrABOUT::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_btnEND) {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton && m_btnEND->rect().contains(me->position().toPoint())) {
                close();
                return true;
            }
        }
        return QWidget::eventFilter(watched, event);
    }
    for (int i = 0; i < 4; ++i) {
        if (watched != m_lblINFO[i])
            continue;
        switch (event->type()) {
        case QEvent::MouseMove:
            setHighlight(i == 1 || i == 2 ? i : -1);
            // Taken here: passed on, the form's own move would clear it again.
            return true;
        case QEvent::Leave:
            // Leaving the window straight from a link leaves no stale highlight behind.
            setHighlight(-1);
            break;
        case QEvent::MouseButtonRelease: {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (me->button() == Qt::LeftButton
                && m_lblINFO[i]->rect().contains(me->position().toPoint()))
                lblINFOClick(i);
            break;
        }
        default:
            break;
        }
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void qrABOUT::lblINFOClick(int index)
{
    // A missing mail program or browser is no concern of ours: nothing is shown, and
    // the reason is only noted in the log.
    try {
        if (index != 1 && index != 2)
            return;
        const QString link = index == 1 ? mailLink() : webLink();
        if (const Result<void> opened = m_shell.openLink(link); !opened)
            qCWarning(lcVyre) << "Not opened:" << link << "-" << QString::fromLocal8Bit(opened.reason());
    } catch (...) {
    }
}
