// Drawing one button picture through FileIconSource, from a PNG and from an ICO file:
// cold (a new FileIconSource each time, as after start) and repeated (the same source
// asked again, as when many buttons share an icon file).

#include "LargeSet.h"
#include "platform/FileIconSource.h"

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

} // namespace

int main(int argc, char** argv)
{
    // Image readers are plugins: they need an application object, not a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    LargeSetFolder(); // generated now, outside the timing, if need be
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
