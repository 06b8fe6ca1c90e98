// Drawing one button picture through FileIconSource, from a PNG and from an ICO file:
// cold (a new FileIconSource each time, as after start) and repeated (the same source
// asked again, as when many buttons share an icon file). Then a 30 MB icon library of
// 300 icons: counting its icons, and drawing one of them, each with a new source.

#include "LargeSet.h"
#include "icons/FileIconSource.h"
#include "support/IconFixtures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

std::string IconFile(const char* name) { return LargeSetFolder() + "/icons/" + name; }

// icon002.png is a 16x16 PNG; icon001.ico holds a 16x16 bitmap and a 32x32 PNG.
const char* const Files[] = {"icon002.png", "icon001.ico"};

void checkDrawn(benchmark::State& state, const QImage& img)
{
    if (img.isNull())
        state.SkipWithError("FileIconSource drew nothing for this file");
}

void BM_IconCold(benchmark::State& state)
{
    const std::string file = IconFile(Files[state.range(0)]);
    state.SetLabel(Files[state.range(0)]);
    for (auto _ : state) {
        auto source = std::make_unique<FileIconSource>();
        QImage img = source->draw(file, 0);
        benchmark::DoNotOptimize(img);
        checkDrawn(state, img);
        if (img.isNull())
            break;
    }
}
BENCHMARK(BM_IconCold)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_IconRepeated(benchmark::State& state)
{
    const std::string file = IconFile(Files[state.range(0)]);
    state.SetLabel(Files[state.range(0)]);
    FileIconSource source;
    checkDrawn(state, source.draw(file, 0));
    for (auto _ : state) {
        QImage img = source.draw(file, 0);
        benchmark::DoNotOptimize(img);
    }
}
BENCHMARK(BM_IconRepeated)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A PE library of 300 icon groups (a 16-px bitmap and a 32-px PNG each, as a library
// of modern icons holds them) behind 29 MB of code, 30 MB in all; written once.
std::string LargeLibrary()
{
    static std::string path;
    if (path.empty()) {
        path = LargeSetFolder() + "/library-300.dll";
        if (!QFile::exists(QString::fromStdString(path))) {
            std::vector<fixture::Group> groups;
            for (int i = 0; i < 300; ++i)
                groups.push_back({fixture::bitmap(16, qRgb(i % 256, 100, 200)), fixture::png(32, qRgb(200, i % 256, 50))});
            const QByteArray bytes = fixture::pe(groups, true, 29 * 1024 * 1024).bytes;
            QFile f(QString::fromStdString(path) + ".new");
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush())
                std::abort();
            f.close();
            QFile::rename(f.fileName(), QString::fromStdString(path));
        }
    }
    return path;
}

void BM_LibraryCount(benchmark::State& state)
{
    const std::string file = LargeLibrary();
    for (auto _ : state) {
        FileIconSource source;
        const int n = source.count(file);
        benchmark::DoNotOptimize(n);
        if (n != 300) {
            state.SkipWithError("the library should hold 300 icons");
            break;
        }
    }
}
BENCHMARK(BM_LibraryCount)->Unit(benchmark::kMicrosecond);

void BM_LibraryDraw(benchmark::State& state)
{
    const std::string file = LargeLibrary();
    for (auto _ : state) {
        FileIconSource source;
        QImage img = source.draw(file, 150, int(state.range(0)));
        benchmark::DoNotOptimize(img);
        checkDrawn(state, img);
        if (img.isNull())
            break;
    }
}
BENCHMARK(BM_LibraryDraw)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    // Image readers are plugins: they need an application object, not a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    LargeSetFolder(); // generated now, outside the timing, if need be
    LargeLibrary();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
