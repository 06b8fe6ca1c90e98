// "Choose an Application" on 500 installed applications: what a user waits for after
// "Applications...": the list read, sorted and shown (its first paint), with the icons
// still to come; then the time until every icon is in; and a later opening, which only
// checks the entries for changes.

#include "editors/ApplicationChooserDialog.h"
#include "editors/DialogApplicationChooser.h"
#include "icons/FileIconSource.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int Entries = 500;

// 500 entries as packages install them: a name with a few translations, a generic name,
// a comment, keywords, and an icon of their own (50 pictures shared among them).
struct Applications {
    Applications()
    {
        const QString apps = dir.filePath("share/applications");
        QDir().mkpath(apps);
        QDir().mkpath(dir.filePath("home"));
        for (int i = 0; i < 50; ++i) {
            QImage icon(48, 48, QImage::Format_ARGB32);
            icon.fill(qRgb(i * 5, 255 - i * 5, 128));
            icon.save(dir.filePath(QStringLiteral("icon%1.png").arg(i)));
        }
        for (int i = 0; i < Entries; ++i) {
            QFile f(apps + QStringLiteral("/app%1.desktop").arg(i));
            if (!f.open(QIODevice::WriteOnly))
                continue;
            const QByteArray n = QByteArray::number(i);
            QByteArray text = "[Desktop Entry]\nType=Application\nName=Application " + n + "\n";
            for (const char* lang : {"de", "fr", "es", "it", "pt_BR", "ja", "zh_CN", "ru"})
                text += "Name[" + QByteArray(lang) + "]=Application " + n + " " + lang + "\nComment[" + lang
                    + "]=Does thing " + n + "\n";
            text += "GenericName=Tool " + n + "\nComment=Does thing number " + n + "\nKeywords=tool;thing" + n
                + ";\nExec=/usr/bin/app" + n + " %U\nIcon=" + QFile::encodeName(dir.filePath(QStringLiteral("icon%1.png").arg(i % 50)))
                + "\nCategories=Utility;\n";
            f.write(text);
        }
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("home")));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(dir.filePath("share")));
        qputenv("LANG", "de_DE.UTF-8");
    }
    QTemporaryDir dir;
};

Applications& applications()
{
    static Applications a;
    return a;
}

// Opens the chooser and lets it lay out and paint once: the list is up.
void openChooser(DialogApplicationChooser& chooser)
{
    chooser.choose(nullptr, [](const std::optional<ChosenApplication>&) {});
    QApplication::sendPostedEvents();
    chooser.window()->repaint();
}

void BM_ChooserFirstOpen500(benchmark::State& state)
{
    applications();
    for (auto _ : state) {
        state.PauseTiming();
        auto icons = std::make_unique<FileIconSource>();
        auto chooser = std::make_unique<DialogApplicationChooser>(*icons);
        state.ResumeTiming();
        openChooser(*chooser);
        state.PauseTiming();
        if (chooser->window()->shownCount() != Entries)
            state.SkipWithError("not every application was listed");
        chooser->window()->reject();
        chooser.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ChooserFirstOpen500)->Unit(benchmark::kMillisecond);

// From "Applications..." until the last icon is in, drawn between events.
void BM_ChooserAllIcons500(benchmark::State& state)
{
    applications();
    for (auto _ : state) {
        state.PauseTiming();
        auto icons = std::make_unique<FileIconSource>();
        auto chooser = std::make_unique<DialogApplicationChooser>(*icons);
        state.ResumeTiming();
        openChooser(*chooser);
        while (chooser->window()->iconsPending() > 0)
            QApplication::processEvents();
        state.PauseTiming();
        chooser->window()->reject();
        chooser.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ChooserAllIcons500)->Unit(benchmark::kMillisecond);

// A later opening: the window and its list are kept; only changes are read.
void BM_ChooserReopen500(benchmark::State& state)
{
    applications();
    FileIconSource icons;
    DialogApplicationChooser chooser(icons);
    openChooser(chooser);
    chooser.window()->reject();
    for (auto _ : state) {
        openChooser(chooser);
        state.PauseTiming();
        chooser.window()->reject();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ChooserReopen500)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    applications(); // written now, outside the timing
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
