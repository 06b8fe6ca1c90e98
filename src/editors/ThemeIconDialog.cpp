#include "editors/ThemeIconDialog.h"

#include "editors/CommandButtons.h"
#include "editors/SearchBox.h"
#include "platform/IconSource.h"
#include "platform/SkipOnError.h"

#include <QApplication>
#include <QBoxLayout>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include <cmath>

namespace {

constexpr int IconSide = 24;
constexpr int LoadedRole = Qt::UserRole;
// Icons are drawn between events for at most this long, so typing stays smooth.
constexpr int IconSliceMs = 12;

} // namespace

ThemeIconDialog::ThemeIconDialog(IconSource& icons, QStringList names, QWidget* parent)
    : QDialog(parent)
    , m_icons(icons)
{
    setObjectName(QStringLiteral("FThemeIcons"));
    setWindowTitle(QStringLiteral("Theme Icons"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    m_view = new QListWidget(this);
    m_view->setObjectName(QStringLiteral("lstIcons"));
    m_view->setAccessibleName(QStringLiteral("Icons of the theme"));
    m_view->setUniformItemSizes(true);
    m_view->setIconSize(QSize(IconSide, IconSide));
    m_search = makeSearchBox(this, QStringLiteral("Search the theme's icons"), m_view);
    connect(m_search, &QLineEdit::textChanged, this, &ThemeIconDialog::filter);
    const QFontMetrics metrics(font());
    m_view->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('x')) * 40, metrics.height() * 20);
    const qreal ratio = devicePixelRatioF();
    QPixmap blank(int(std::lround(IconSide * ratio)), int(std::lround(IconSide * ratio)));
    blank.fill(Qt::transparent);
    blank.setDevicePixelRatio(ratio);
    const QIcon placeholder(blank);
    m_view->setUpdatesEnabled(false);
    for (const QString& name : names) {
        auto* item = new QListWidgetItem(placeholder, name, m_view);
        item->setData(LoadedRole, false);
    }
    m_view->setUpdatesEnabled(true);
    connect(m_view, &QListWidget::itemActivated, this, [this] {
        if (!chosen().isEmpty())
            accept();
    });
    connect(m_view, &QListWidget::currentRowChanged, this, [this] { m_ok->setEnabled(!chosen().isEmpty()); });
    connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { m_iconTimer.start(); });

    m_iconTimer.setInterval(0);
    m_iconTimer.setSingleShot(true);
    connect(&m_iconTimer, &QTimer::timeout, this, [this] { skipOnError("drawing theme icons", [this] { drawVisibleIcons(); }); });

    const CommandButtons buttons = makeCommandButtons(this);
    m_ok = buttons.ok;
    buttons.cancel->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (!chosen().isEmpty())
            accept();
    });
    auto* commands = new QHBoxLayout;
    commands->addStretch(1);
    commands->addWidget(m_ok);
    commands->addWidget(buttons.cancel);
    auto* window = new QVBoxLayout(this);
    window->addWidget(m_search);
    window->addWidget(m_view, 1);
    window->addLayout(commands);
    filter(QString());
    setTabOrder(m_search, m_view);
    m_search->setFocus();
}

QString ThemeIconDialog::chosen() const
{
    const QListWidgetItem* item = m_view->currentItem();
    return item && !item->isHidden() ? item->text() : QString();
}

void ThemeIconDialog::setFilter(const QString& text)
{
    m_search->setText(text);
}

void ThemeIconDialog::filter(const QString& text)
{
    const QString needle = text.trimmed();
    QListWidgetItem* first = nullptr;
    m_view->setUpdatesEnabled(false);
    for (int row = 0; row < m_view->count(); ++row) {
        QListWidgetItem* item = m_view->item(row);
        const bool match = item->text().contains(needle, Qt::CaseInsensitive);
        if (item->isHidden() == match)
            item->setHidden(!match);
        if (match && !first)
            first = item;
    }
    m_view->setUpdatesEnabled(true);
    m_view->setCurrentItem(first);
    if (first)
        m_view->scrollToItem(first, QAbstractItemView::PositionAtTop);
    m_ok->setEnabled(first != nullptr);
    m_iconTimer.start();
}

void ThemeIconDialog::drawVisibleIcons()
{
    QElapsedTimer clock;
    clock.start();
    const QRect seen = m_view->viewport()->rect();
    const QModelIndex top = m_view->indexAt(seen.topLeft());
    const qreal ratio = devicePixelRatioF();
    const int side = int(std::lround(IconSide * ratio));
    for (int row = top.isValid() ? top.row() : m_view->count(); row < m_view->count(); ++row) {
        QListWidgetItem* item = m_view->item(row);
        if (item->isHidden() || item->data(LoadedRole).toBool())
            continue;
        if (!seen.intersects(m_view->visualItemRect(item)))
            break;
        if (clock.elapsed() >= IconSliceMs) {
            m_iconTimer.start(); // the rest in the next turn
            return;
        }
        item->setData(LoadedRole, true);
        const QImage image = m_icons.draw(item->text().toStdString(), 0, side);
        if (image.isNull())
            continue;
        QPixmap picture = QPixmap::fromImage(image);
        picture.setDevicePixelRatio(ratio);
        item->setIcon(QIcon(picture));
    }
}

