#include "ToolbarFixture.h"
#include "support/TempDir.h"
#include "toolbar/CaptionCache.h"
#include "toolbar/ImageList.h"
#include "toolbar/StripPainting.h"

#include <QProxyStyle>
#include <QStyleFactory>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <memory>

// Every piece of text laid out anywhere in the process (a caption measured, shaped for
// painting or drawn by the style) goes through harfbuzz, which is where a font is
// first needed: counted here on its way there.
namespace {
int shapings = 0;
}
extern "C" int hb_shape_full(void* font, void* buffer, const void* features, unsigned count, const char* const* shapers)
{
    ++shapings;
    using Shape = int (*)(void*, void*, const void*, unsigned, const char* const*);
    static const auto real = reinterpret_cast<Shape>(dlsym(RTLD_NEXT, "hb_shape_full"));
    return real(font, buffer, features, count, shapers);
}

int textShapings()
{
    return shapings;
}

// A strip's side of its captions' keys follows its own font, direction and style, asked
// in any order among strips that differ.
TEST(ButtonStrip, CaptionKeysFollowEachStripsFontDirectionAndStyle)
{
    std::unique_ptr<QStyle> windows(QStyleFactory::create(QStringLiteral("windows")));
    ASSERT_NE(windows, nullptr);
    QWidget plain;
    const QByteArray key = captionContext(plain);
    const std::vector<std::pair<const char*, std::function<void(QWidget&)>>> changes = {
        {"font", [](QWidget& w) { w.setFont(QFont(w.font().family(), 15, QFont::Bold)); }},
        {"direction", [](QWidget& w) { w.setLayoutDirection(Qt::RightToLeft); }},
        {"style", [&](QWidget& w) { w.setStyle(windows.get()); }},
    };
    for (const auto& [name, change] : changes) {
        QWidget other;
        change(other);
        EXPECT_NE(captionContext(other), key) << name;
        EXPECT_EQ(captionContext(plain), key) << name;
    }
}

// A caption's key holds its UTF-8 whatever the characters, so that a cache written by
// one run finds them in the next.
TEST(ButtonStrip, CaptionKeysHoldTheCaptionsUtf8)
{
    const QByteArray context("Sans,9 96 96 1 ltr fusion");
    for (const QString& caption : {QString(), QStringLiteral("Mail Reader"), QStringLiteral("Caf\u00e9"),
                                   QStringLiteral("Notes \u65e5\u672c"), QStringLiteral("smile \U0001F600"),
                                   QString(QChar(0xd800)) + QStringLiteral("x")}) {
        const QByteArray key = captionKey(context, '\x1e', caption, 8);
        EXPECT_EQ(key, context + '\x1e' + caption.toUtf8()) << caption.toStdString();
    }
}

// Changes made in a batch are laid out once, as the outermost batch closes, and come out
// as they do one by one.
TEST(ButtonStrip, ChangesInABatchAreLaidOutAsItClosesAsTheyAreOneByOne)
{
    FakePointer pointer;
    ButtonStrip one(pointer), batched(pointer);
    const auto fill = [](ButtonStrip& s) {
        s.setCaptionsShown(true);
        for (int p = 3; p <= 6; ++p) {
            s.addButton(p, p == 5 ? ButtonStrip::Style::Gap : ButtonStrip::Style::Normal, 1);
            s.setCaption(p, QStringLiteral("Caption number %1").arg(p));
        }
    };
    fill(one);
    const QSize empty = batched.size();
    {
        const ButtonStrip::Batch outer(batched);
        {
            const ButtonStrip::Batch inner(batched);
            fill(batched);
        }
        EXPECT_EQ(batched.size(), empty);
    }
    EXPECT_EQ(std::tuple(batched.size(), batched.buttonWidth(), batched.buttonRect(6)),
              std::tuple(one.size(), one.buttonWidth(), one.buttonRect(6)));
    EXPECT_NE(batched.size(), empty);
}

// A wrapped bar starts a new row only for a button that would pass its end: one that
// ends exactly there still fits.
TEST(ButtonStrip, AWrappedBarBreaksARowOnlyForAButtonThatWouldPassItsEnd)
{
    Strip strip;
    strip.setWrappable(true);
    for (auto [width, rows] : {std::pair{1625.0f, 1}, {1624.0f, 2}}) { // 470 + 3 x 345 + 120
        strip.setWidthTwips(width);
        EXPECT_EQ(strip.heightTwips(), 330.0f * float(rows)) << width;
        EXPECT_EQ(strip.buttonRect(6).top(), 330.0 * (rows - 1)) << width;
    }
}

TEST(ButtonStrip, ADragShowsWhereItWouldLandAndRefusesEverywhereElseAndADropReportsItsPoint)
{
    Strip strip;
    // Only the middle of the strip takes drops: button 4 there, the gap 5 (refused
    // even when asked for), nothing at either end.
    strip.setDropTarget([](QPointF at) { return at.x() < 700 ? 0 : at.x() < 900 ? 4 : at.x() < 1000 ? 5 : 0; });
    int entered = 0;
    QObject::connect(&strip, &ButtonStrip::dragEntered, [&] { ++entered; });
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/x")});
    QMimeData text;
    text.setText("/tmp/x");

    // Files are taken in anywhere, so that the moves follow even over the handle end.
    for (auto [data, x, accepted] : {std::tuple(&text, 50, false), std::tuple(&files, 2, true)}) {
        QDragEnterEvent enter(QPoint(x, 7), Qt::CopyAction, data, Qt::NoButton, {});
        strip.dragEnterEvent(&enter);
        EXPECT_EQ(std::pair(enter.isAccepted(), entered), std::pair(accepted, int(accepted)));
    }

    // x in pixels, data, accepted, highlighted
    for (auto [x, data, accepted, lit] : {std::tuple(2, &files, false, 0), {50, &files, true, 4}, {62, &files, false, 0},
                                          {50, &text, false, 4}, {80, &files, false, 0}, {50, &files, true, 4}}) {
        QDragMoveEvent move(QPoint(x, 7), Qt::CopyAction, data, Qt::NoButton, {});
        strip.dragMoveEvent(&move);
        EXPECT_EQ(std::pair(move.isAccepted(), strip.highlighted()), std::pair(accepted, lit)) << x;
    }
    QDragLeaveEvent leave;
    strip.dragLeaveEvent(&leave);
    EXPECT_EQ(strip.highlighted(), 0);

    // A drop is taken and reported at its point in twips.
    std::vector<std::pair<const QMimeData*, QPointF>> drops;
    QObject::connect(&strip, &ButtonStrip::dropped, [&](const QMimeData* d, QPointF p) { drops.emplace_back(d, p); });
    QDropEvent drop(QPointF(40, 7), Qt::CopyAction, &files, Qt::LeftButton, {});
    strip.dropEvent(&drop);
    EXPECT_EQ(std::pair(drop.isAccepted(), drops),
              std::pair(true, std::vector<std::pair<const QMimeData*, QPointF>>{{&files, QPointF(600, 105)}}));
}

TEST(ButtonStrip, ALongCaptionWidensTheButtonsOnlySoFarAndKeepsItsWords)
{
    Strip strip;
    strip.setCaptionsShown(true);
    strip.setCaption(3, QStringLiteral("Mail Reader"));
    const float shortCaption = strip.buttonWidth();
    // The widest caption and 8 pixels of padding around it, at 15 twips a pixel.
    EXPECT_EQ(shortCaption, float((strip.fontMetrics().horizontalAdvance(QStringLiteral("Mail Reader")) + 8) * 15));
    // Every button takes the longest caption's width: a million characters would make the
    // bar millions of twips long.
    const QString huge(1'000'000, QLatin1Char('W'));
    for (const QString& caption : {huge, huge.left(300)}) {
        strip.setCaption(4, caption);
        EXPECT_GT(strip.buttonWidth(), shortCaption);
        EXPECT_LE(strip.buttonWidth(), (200 + 8) * 15.0f);
        EXPECT_EQ(strip.caption(4), caption); // only what is painted is shortened
    }
}

// Captions are drawn from a layout each button keeps, beside the style: through every
// change that touches a caption, a strip looks exactly as one whose style draws the
// captions itself (a proxy of the same style, which the kept layouts leave alone).
TEST(ButtonStrip, KeptCaptionLayoutsPaintWhatTheStyleWouldThroughEveryChange)
{
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    ASSERT_NE(fusion, nullptr);
    QProxyStyle byStyle(QStyleFactory::create(QStringLiteral("fusion")));
    QPixmap picture(16, 16);
    picture.fill(Qt::darkCyan);
    QPixmap small(12, 10);
    small.fill(Qt::darkRed);
    ImageList images(picture, picture);
    images.put(ImageList::FirstCustom, small);
    Strip kept, drawn;
    for (Strip* s : {&kept, &drawn}) {
        s->setStyle(s == &kept ? fusion.get() : static_cast<QStyle*>(&byStyle));
        s->setImageList(&images);
        s->addButton(7, ButtonStrip::Style::Normal, ImageList::FirstCustom);
        s->setCaptionsShown(true);
        s->setCaption(3, QStringLiteral("Mail Reader"));
        s->setCaption(4, QStringLiteral("Notes"));
        s->setCaption(7, QStringLiteral("Short"));
    }
    const auto look = [](Strip& s) { return s.grab().toImage(); };
    const QImage first = look(kept);
    const std::vector<std::pair<const char*, std::function<void(Strip&)>>> steps = {
        {"painted", [](Strip&) {}},
        {"renamed", [](Strip& s) { s.setCaption(3, QStringLiteral("Calendar")); }},
        {"font", [](Strip& s) { s.setFont(QFont(s.font().family(), 15, QFont::Bold)); }},
        {"pressed", [](Strip& s) { s.mouse(QEvent::MouseButtonPress, Qt::LeftButton, s.centrePx(4)); }},
        {"captions off", [](Strip& s) { s.setCaptionsShown(false); }},
        {"captions on", [](Strip& s) { s.setCaptionsShown(true); }},
        {"right to left", [](Strip& s) { s.setLayoutDirection(Qt::RightToLeft); }},
        {"long", [](Strip& s) { s.setCaption(4, QString(300, QLatin1Char('W'))); }},
    };
    for (const auto& [name, step] : steps) {
        step(kept);
        step(drawn);
        EXPECT_EQ(look(kept), look(drawn)) << name;
    }
    EXPECT_NE(look(kept), first); // the steps did change what is painted
}

// A button pressed, hovered or framed looks so alone: the buttons painted after it in
// the same paint look as in a strip where nothing is marked.
TEST(ButtonStrip, AMarkedButtonsLookStopsAtItsOwnEdge)
{
    // Fusion draws plain pictures itself; the Windows style draws every button and
    // shifts a pressed one's picture.
    for (const char* name : {"fusion", "windows"}) {
        std::unique_ptr<QStyle> style(QStyleFactory::create(QString::fromLatin1(name)));
        ASSERT_NE(style, nullptr) << name;
        QPixmap picture(16, 16);
        picture.fill(Qt::darkCyan);
        ImageList images(picture, picture);
        for (const bool captions : {false, true}) {
            Strip marked, plain;
            for (Strip* s : {&marked, &plain}) {
                s->setStyle(style.get());
                s->setImageList(&images);
                s->addButton(7, ButtonStrip::Style::Normal, 1);
                s->setCaptionsShown(captions);
                s->setCaption(3, QStringLiteral("Mail"));
                s->setCaption(6, QStringLiteral("Notes"));
            }
            marked.mouse(QEvent::MouseButtonPress, Qt::LeftButton, marked.centrePx(3));
            const QImage pressed = marked.grab().toImage();
            const QImage none = plain.grab().toImage();
            const int after = int(marked.buttonRect(4).left() / 15);
            const QRect rest(after, 0, none.width() - after, none.height());
            EXPECT_NE(pressed, none) << name << captions; // the pressed button itself does show
            EXPECT_EQ(pressed.copy(rest), none.copy(rest)) << name << captions;
        }
    }
}

// Captions kept by an earlier run are laid out and painted in the plain state without
// laying out any text, to the pixel as when their text is drawn (an elided one too);
// hovered or pressed, their text is drawn as ever.
TEST(ButtonStrip, KeptCaptionsLayOutAndPaintAsDrawnWithoutTouchingTheirText)
{
    TempDir dir;
    const std::string file = dir.file("captions.cache");
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    QPixmap picture(16, 16);
    picture.fill(Qt::darkCyan);
    ImageList images(picture, picture);
    const auto make = [&](Strip& s, CaptionCache* cache) {
        s.setStyle(fusion.get());
        s.setImageList(&images);
        s.setCaptionCache(cache);
        s.setCaptionsShown(true);
        s.setCaption(3, QStringLiteral("Mail Reader"));
        s.setCaption(4, QStringLiteral("Notes"));
        s.setCaption(6, QString(300, QLatin1Char('W')));
    };
    const auto look = [](Strip& s) { return std::tuple(s.size(), s.buttonWidth(), s.grab().toImage()); };
    Strip drawn;
    make(drawn, nullptr);
    {
        CaptionCache learning(file);
        Strip first;
        make(first, &learning);
        first.grab();
        ASSERT_TRUE(learning.save());
    }
    CaptionCache kept(file);
    shapings = 0;
    Strip fromCache;
    make(fromCache, &kept);
    const auto plain = look(fromCache);
    EXPECT_EQ(shapings, 0);
    EXPECT_EQ(plain, look(drawn));
    for (const auto& [name, step] : std::vector<std::pair<const char*, std::function<void(Strip&)>>>{
             {"hovered", [](Strip& s) { s.mouse(QEvent::MouseMove, Qt::NoButton, s.centrePx(3)); }},
             {"pressed", [](Strip& s) { s.mouse(QEvent::MouseButtonPress, Qt::LeftButton, s.centrePx(4)); }}}) {
        step(fromCache);
        step(drawn);
        EXPECT_EQ(look(fromCache), look(drawn)) << name;
    }
    EXPECT_GT(shapings, 0);
}

// A kept caption is served only from a sound file of ours whose fonts are as they were
// when it was drawn; anything else is a miss, and the next save writes the file anew.
TEST(CaptionCache, ServesOnlyASoundFileWithUnchangedFontsAndReplacesAnyOther)
{
    TempDir dir;
    const std::string file = dir.file("captions.cache"), conf = dir.file("fonts.conf");
    const auto keptAt = [&](std::int64_t seconds) {
        writeBytes(conf, "<fontconfig/>");
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ::utimensat(AT_FDCWD, conf.c_str(), times, 0);
        return CaptionCache::stampOf({conf});
    };
    const auto fileOf = [](const captioncache::Stamp& stamp) {
        std::string bytes = captioncache::header(stamp);
        captioncache::appendRecord(bytes, captioncache::Kind::Measure, "key", 40, 13,
                                   {reinterpret_cast<const std::uint8_t*>("Mail"), 4});
        return bytes;
    };
    using Change = std::function<void(std::string& bytes)>;
    const std::vector<std::tuple<const char*, Change, bool>> cases = {
        {"as kept", [](std::string&) {}, true},
        {"configuration changed", [&](std::string&) { keptAt(2'000'000'000); }, false},
        {"configuration gone", [&](std::string&) { std::remove(conf.c_str()); }, false},
        {"other settings",
         [&](std::string& b) {
             captioncache::Stamp other = keptAt(1'000'000'000);
             other.environment += "x";
             b = fileOf(other);
         },
         false},
        {"record damaged", [](std::string& b) { b[b.size() - 2] ^= 1; }, false},
        {"stamp damaged", [](std::string& b) { b[20] ^= 1; }, false},
        {"foreign", [](std::string& b) { b = "not a cache of captions"; }, false},
    };
    for (const auto& [name, change, served] : cases) {
        SCOPED_TRACE(name);
        std::string bytes = fileOf(keptAt(1'000'000'000));
        change(bytes);
        writeBytes(file, bytes);
        CaptionCache cache(file);
        const auto found = cache.measure("key");
        EXPECT_EQ(found.has_value(), served);
        EXPECT_TRUE(!found || (found->shown == "Mail" && found->width == 40 && found->lineHeight == 13));
        cache.keepMeasure("new", {QStringLiteral("New"), 30, 13});
        ASSERT_TRUE(cache.save());
        CaptionCache again(file);
        EXPECT_TRUE(again.measure("new").has_value());
    }
}

// Pictures taken from the file, small ones and one larger than the room they are copied
// to, each stay as kept once more are taken and the cache is gone.
TEST(CaptionCache, PicturesTakenFromTheFileStayAsKeptOnceItIsGone)
{
    TempDir dir;
    const std::string file = dir.file("captions.cache"), conf = dir.file("fonts.conf");
    writeBytes(conf, "<fontconfig/>");
    const QSize sizes[] = {{3, 1}, {120, 90}, {400, 300}, {7, 5}, {150, 100}};
    std::string bytes = captioncache::header(CaptionCache::stampOf({conf}));
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        const std::vector<std::uint32_t> pixels(std::size_t(sizes[i].width() * sizes[i].height()),
                                                0xFF000000u | std::uint32_t(i * 40 + 1));
        const std::span data(reinterpret_cast<const std::uint8_t*>(pixels.data()), pixels.size() * 4);
        captioncache::appendRecord(bytes, captioncache::Kind::Picture, std::to_string(i), sizes[i].width(),
                                   sizes[i].height(), data);
    }
    writeBytes(file, bytes);
    std::vector<QImage> taken;
    {
        CaptionCache cache(file);
        for (std::size_t i = 0; i < std::size(sizes); ++i)
            taken.push_back(cache.picture(QByteArray::number(qulonglong(i)), QImage::Format_ARGB32_Premultiplied));
    }
    for (std::size_t i = 0; i < std::size(sizes); ++i) {
        QImage kept(sizes[i], QImage::Format_ARGB32_Premultiplied);
        kept.fill(QColor::fromRgba(0xFF000000u | std::uint32_t(i * 40 + 1)));
        EXPECT_TRUE(taken[i] == kept) << i;
    }
}

// A left drag along the bar reports where the button goes once it is let go; a press
// that never went the drag distance stays a click; Escape, the right button or letting go
// far off the bar move nothing; and the keyboard taken for Escape is always given back.
TEST(ButtonStrip, ADragAlongTheBarMovesAButtonOnlyWhenLetGoAndAShortOneIsAClick)
{
    Strip strip;
    strip.show();
    std::vector<int> clicks;
    std::vector<std::pair<int, int>> drags;
    std::vector<int> menus;
    QObject::connect(&strip, &ButtonStrip::buttonClicked, [&](int p) { clicks.push_back(p); });
    QObject::connect(&strip, &ButtonStrip::buttonDragged, [&](int from, int to) { drags.emplace_back(from, to); });
    QObject::connect(&strip, &ButtonStrip::menuRequested, [&](int p, QPoint) { menus.push_back(p); });
    const int far = QApplication::startDragDistance();
    const QPoint below(0, strip.height() + 40); // more than a button's height off the bar

    enum End { Release, Escape, RightPress };
    const struct {
        const char* what;
        int from;
        QPoint to;
        int target; // dragTarget() just before the end
        End end;
        std::vector<int> clicks;
        std::vector<std::pair<int, int>> drags;
    } rows[] = {
        {"short of the distance", 4, strip.centrePx(4) + QPoint(far - 1, 0), 0, Release, {4}, {}},
        {"onto a later button", 3, strip.centrePx(6), 6, Release, {}, {{3, 6}}},
        {"onto the gap", 6, strip.centrePx(5), 5, Release, {}, {{6, 5}}},
        {"under the handle: the first place", 6, strip.centrePx(1), 3, Release, {}, {{6, 3}}},
        {"past the end, a little aside", 3, QPoint(strip.width() + 5, strip.height() + 3), 6, Release, {}, {{3, 6}}},
        {"back where it was", 4, strip.centrePx(4) + QPoint(0, far), 4, Release, {}, {}},
        {"far off the bar", 3, strip.centrePx(6) + below, 0, Release, {}, {}},
        {"cancelled by Escape", 3, strip.centrePx(6), 6, Escape, {}, {}},
        {"cancelled by the right button", 3, strip.centrePx(6), 6, RightPress, {}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        clicks.clear(), drags.clear(), menus.clear();
        QTest::mousePress(&strip, Qt::LeftButton, {}, strip.centrePx(row.from));
        QTest::mouseMove(&strip, row.to);
        EXPECT_EQ(strip.dragTarget(), row.target);
        // Escape must reach the strip whichever window has the keyboard.
        const bool dragging = row.clicks.empty();
        EXPECT_EQ(QWidget::keyboardGrabber(), dragging ? &strip : nullptr);
        if (row.end == Escape)
            QTest::keyClick(&strip, Qt::Key_Escape);
        if (row.end == RightPress) {
            QTest::mousePress(&strip, Qt::RightButton, {}, row.to);
            QTest::mouseRelease(&strip, Qt::RightButton, {}, row.to);
            EXPECT_EQ(menus, std::vector<int>{6}); // the menu of the button under the mouse
        }
        if (row.end != Release) {
            EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
            QTest::mouseMove(&strip, strip.centrePx(4)); // cancelled, it stays cancelled
        }
        QTest::mouseRelease(&strip, Qt::LeftButton, {}, row.end == Release ? row.to : strip.centrePx(4));
        EXPECT_EQ(std::tuple(clicks, drags, strip.dragTarget(), QWidget::keyboardGrabber()),
                  std::tuple(row.clicks, row.drags, 0, static_cast<QWidget*>(nullptr)));
    }

    // Put away in the middle of a drag, the strip gives the keyboard back.
    drags.clear();
    QTest::mousePress(&strip, Qt::LeftButton, {}, strip.centrePx(3));
    QTest::mouseMove(&strip, strip.centrePx(6));
    ASSERT_EQ(QWidget::keyboardGrabber(), &strip);
    strip.hide();
    EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
    strip.show();
    QTest::mouseRelease(&strip, Qt::LeftButton, {}, strip.centrePx(6));
    EXPECT_TRUE(drags.empty());

    // A right press opens the menu of a button or a gap, not of the fixed buttons; a left
    // press let go on another button is no click.
    menus.clear();
    for (int p : {1, 2, 3, 5, 6})
        strip.click(p, Qt::RightButton);
    strip.mouse(QEvent::MouseButtonPress, Qt::LeftButton, strip.centrePx(3));
    strip.mouse(QEvent::MouseButtonRelease, Qt::LeftButton, strip.centrePx(6));
    EXPECT_EQ(std::pair(menus, clicks), std::pair(std::vector<int>{3, 5, 6}, std::vector<int>{}));
}
