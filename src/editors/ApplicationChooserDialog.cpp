#include "editors/ApplicationChooserDialog.h"

#include "editors/CommandButtons.h"
#include "editors/SearchBox.h"
#include "platform/Centre.h"
#include "platform/IconSource.h"
#include "platform/SkipOnError.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCollator>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>

namespace {

enum Role {
    FileRole = Qt::UserRole,  // the entry's path
    SecondLineRole,           // what the application is
    HaystackRole,             // what the search looks through, case-folded
    IconLoadedRole,
};

// Icons are drawn between events for at most this long, so typing stays smooth.
constexpr int IconSliceMs = 12;

QString fromBytes(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// A row: the icon, the name, and in a smaller, quieter line below it what the
// application is, as menus and docks show them.
class TwoLineDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString name = opt.text;
        const QString second = index.data(SecondLineRole).toString();
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(2, 0, -2, 0);
        const bool selected = opt.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = opt.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        QColor colour = opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(colour);
        const QFontMetrics nameMetrics(opt.font);
        QFont small = opt.font;
        small.setPointSizeF(std::max(1.0, opt.font.pointSizeF() * 0.85));
        const QFontMetrics smallMetrics(small);
        const int height = nameMetrics.height() + (second.isEmpty() ? 0 : smallMetrics.height());
        int y = text.top() + (text.height() - height) / 2;
        painter->drawText(QRect(text.left(), y, text.width(), nameMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                          nameMetrics.elidedText(name, Qt::ElideRight, text.width()));
        if (!second.isEmpty()) {
            y += nameMetrics.height();
            painter->setFont(small);
            colour.setAlphaF(selected ? 0.85f : 0.65f);
            painter->setPen(colour);
            painter->drawText(QRect(text.left(), y, text.width(), smallMetrics.height()),
                              Qt::AlignLeft | Qt::AlignVCenter, smallMetrics.elidedText(second, Qt::ElideRight, text.width()));
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        QFont small = option.font;
        small.setPointSizeF(std::max(1.0, option.font.pointSizeF() * 0.85));
        const int lines = QFontMetrics(option.font).height() + QFontMetrics(small).height() + 6;
        size.setHeight(std::max(size.height(), lines));
        return size;
    }
};

} // namespace

ApplicationChooserDialog::ApplicationChooserDialog(IconSource& icons, QWidget* parent)
    : QDialog(parent)
    , m_icons(icons)
{
    setObjectName(QStringLiteral("FApps"));
    setWindowTitle(QStringLiteral("Choose an Application"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_iconTimer.setInterval(0);
    connect(&m_iconTimer, &QTimer::timeout, this, [this] { skipOnError("drawing application icons", [this] { loadSomeIcons(); }); });
    buildControls();
}

ApplicationChooserDialog::~ApplicationChooserDialog() = default;

void ApplicationChooserDialog::buildControls()
{
    m_view = new QListWidget(this);
    m_view->setObjectName(QStringLiteral("lstApps"));
    m_view->setAccessibleName(QStringLiteral("Installed applications"));
    m_view->setUniformItemSizes(true);
    m_view->setItemDelegate(new TwoLineDelegate(m_view));
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A little larger than a toolbar's pictures, as the menus show applications.
    m_view->setIconSize(QSize(m_iconSide, m_iconSide));
    const QFontMetrics metrics(font());
    m_view->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('x')) * 48, metrics.height() * 22);
    connect(m_view, &QListWidget::itemActivated, this, [this] {
        if (current())
            accept();
    });
    connect(m_view, &QListWidget::currentRowChanged, this, &ApplicationChooserDialog::updateOk);
    m_search = makeSearchBox(this, QStringLiteral("Search the applications"), m_view);
    connect(m_search, &QLineEdit::textChanged, this, &ApplicationChooserDialog::filter);
    // The icons of the rows scrolled to come next.
    connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (m_pending > 0)
            m_iconTimer.start();
    });

    const CommandButtons buttons = makeCommandButtons(this);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    m_cancel->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (current())
            accept();
    });
    auto* commands = new QHBoxLayout;
    commands->addStretch(1);
    commands->addWidget(m_ok);
    commands->addWidget(m_cancel);

    auto* window = new QVBoxLayout(this);
    window->addWidget(m_search);
    window->addWidget(m_view, 1);
    window->addLayout(commands);
    setTabOrder(m_search, m_view);
    setTabOrder(m_view, m_ok);
    setTabOrder(m_ok, m_cancel);
}

void ApplicationChooserDialog::refresh()
{
    if (m_list.refresh(desktop::Environment::current()))
        fill();
    {
        const QSignalBlocker quiet(m_search);
        m_search->clear();
    }
    filter(QString());
    m_search->setFocus();
}

void ApplicationChooserDialog::fill()
{
    std::vector<const desktop::Application*> sorted;
    for (const desktop::Application& a : m_list.applications())
        sorted.push_back(&a);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::stable_sort(sorted.begin(), sorted.end(), [&](const desktop::Application* a, const desktop::Application* b) {
        return collator.compare(fromBytes(a->name), fromBytes(b->name)) < 0;
    });

    // Rows keep their size until their icon comes.
    const qreal ratio = devicePixelRatioF();
    const int side = int(std::lround(m_iconSide * ratio));
    QPixmap blank(side, side);
    blank.fill(Qt::transparent);
    blank.setDevicePixelRatio(ratio);
    const QIcon placeholder(blank);

    m_view->setUpdatesEnabled(false);
    m_view->clear();
    for (const desktop::Application* a : sorted) {
        auto* item = new QListWidgetItem(placeholder, fromBytes(a->name));
        item->setData(FileRole, QFile::decodeName(QByteArray::fromStdString(a->file)));
        const QString generic = fromBytes(a->genericName), comment = fromBytes(a->comment);
        // What it is, unless the name says that already ("Calculator").
        const bool genericSays = !generic.isEmpty() && generic.compare(item->text(), Qt::CaseInsensitive) != 0;
        item->setData(SecondLineRole, genericSays ? generic : comment);
        QStringList tip;
        for (const QString& line : {generic, comment})
            if (!line.isEmpty() && !tip.contains(line))
                tip << line;
        item->setToolTip(tip.join(QLatin1Char('\n')));
        QString haystack = item->text() + QLatin1Char('\n') + generic + QLatin1Char('\n') + fromBytes(a->exec);
        for (const std::string& k : a->keywords)
            haystack += QLatin1Char('\n') + fromBytes(k);
        item->setData(HaystackRole, haystack.toCaseFolded());
        item->setData(IconLoadedRole, false);
        m_view->addItem(item);
    }
    m_view->setUpdatesEnabled(true);
    m_pending = m_view->count();
    m_nextIcon = 0;
}

void ApplicationChooserDialog::filter(const QString& text)
{
    const QString needle = text.trimmed().toCaseFolded();
    QListWidgetItem* first = nullptr;
    m_view->setUpdatesEnabled(false);
    for (int row = 0; row < m_view->count(); ++row) {
        QListWidgetItem* item = m_view->item(row);
        const bool match = needle.isEmpty() || item->data(HaystackRole).toString().contains(needle);
        if (item->isHidden() == match)
            item->setHidden(!match);
        if (match && !first)
            first = item;
    }
    m_view->setUpdatesEnabled(true);
    // The best guess is the first match: Enter takes it at once.
    m_view->setCurrentItem(first);
    if (first)
        m_view->scrollToItem(first, QAbstractItemView::PositionAtTop);
    updateOk();
    if (m_pending > 0)
        m_iconTimer.start();
}

int ApplicationChooserDialog::shownCount() const
{
    int n = 0;
    for (int row = 0; row < m_view->count(); ++row)
        n += m_view->item(row)->isHidden() ? 0 : 1;
    return n;
}

std::optional<ChosenApplication> ApplicationChooserDialog::current() const
{
    const QListWidgetItem* item = m_view->currentItem();
    if (!item || item->isHidden())
        return std::nullopt;
    return ChosenApplication{item->text(), item->data(FileRole).toString()};
}

void ApplicationChooserDialog::updateOk()
{
    m_ok->setEnabled(current().has_value());
}

bool ApplicationChooserDialog::loadIcon(QListWidgetItem* item)
{
    if (item->data(IconLoadedRole).toBool())
        return false;
    item->setData(IconLoadedRole, true);
    --m_pending;
    const qreal ratio = devicePixelRatioF();
    const int side = int(std::lround(m_iconSide * ratio));
    const QImage image = m_icons.draw(QFile::encodeName(item->data(FileRole).toString()).toStdString(), 0, side);
    if (image.isNull())
        return true;
    QPixmap picture = QPixmap::fromImage(image.size() == QSize(side, side)
                                             ? image
                                             : image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture.setDevicePixelRatio(ratio);
    item->setIcon(QIcon(picture));
    return true;
}

void ApplicationChooserDialog::loadSomeIcons()
{
    QElapsedTimer clock;
    clock.start();
    // The rows on screen first, then the rest from the top.
    const QRect seen = m_view->viewport()->rect();
    const QModelIndex top = m_view->indexAt(seen.topLeft());
    for (int row = top.isValid() ? top.row() : m_view->count(); row < m_view->count() && clock.elapsed() < IconSliceMs;
         ++row) {
        QListWidgetItem* item = m_view->item(row);
        if (item->isHidden())
            continue;
        if (!seen.intersects(m_view->visualItemRect(item)))
            break;
        loadIcon(item);
    }
    while (m_nextIcon < m_view->count() && clock.elapsed() < IconSliceMs)
        loadIcon(m_view->item(m_nextIcon++));
    if (m_pending <= 0 || m_nextIcon >= m_view->count())
        m_iconTimer.stop();
}

void ApplicationChooserDialog::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        centreOnItsScreen(*this);
    QDialog::showEvent(event);
}
