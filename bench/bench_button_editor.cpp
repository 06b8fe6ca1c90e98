// The configuration window's editing, on the real program with its real services: the
// first opening of the button editor (what a user waits for after "Add"), later openings,
// and one step of the position bar on a toolbar of 40 buttons with their icons: the
// exchange, the rewrite of the toolbar file, the rebuild of its window and the refill of
// the list, all of which the user waits for within one frame.

#include "LargeSet.h"
#include "app/App.h"
#include "app/ButtonCommands.h"
#include "app/RealServices.h"
#include "config/ConfigWindow.h"
#include "editors/ButtonEditor.h"

#include <QApplication>
#include <QListWidget>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace {

// A program on a data folder whose default toolbar is the large set's first: 40 buttons
// (four separators, a recall button), icons from PNG and ICO files. The configuration
// window is open on it, as when the user works there.
struct Program {
    Program()
    {
        const std::string folder = dir.path().toStdString();
        std::filesystem::copy_file(LargeSetFolder() + "/set/Default.vtb", folder + "/Default.vtb");
        std::ofstream(folder + "/Toolbars.cfg") << "Quorrelind's Vyrelight Toolbars v2_[A1]\r\n"
                                                   "Default;1500;1500;;;0;0;0;-1;-1;0;0;\r\n";
        app = std::make_unique<App>(services.services(), folder);
        if (app->start())
            app->showConfig(0);
        QApplication::processEvents();
    }
    ~Program()
    {
        app->quit();
        app.reset();
        QApplication::processEvents();
    }

    QTemporaryDir dir;
    RealServices services;
    std::unique_ptr<App> app;
};

// Opens "Add Button" from the configuration window and lets it lay out and paint.
void openEditor(Program& p)
{
    p.app->addButton(0);
    QApplication::processEvents();
    benchmark::DoNotOptimize(p.app->buttons().editor());
}

void closeEditor(Program& p)
{
    if (ButtonEditor* e = p.app->buttons().editor())
        e->reject();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The first opening in the process: nothing of the editor's is loaded or measured yet.
void BM_ButtonEditorFirstOpen(benchmark::State& state)
{
    Program p;
    for (auto _ : state) {
        openEditor(p);
        state.PauseTiming();
        closeEditor(p);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ButtonEditorFirstOpen)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ButtonEditorOpen(benchmark::State& state)
{
    Program p;
    for (auto _ : state) {
        openEditor(p);
        state.PauseTiming();
        closeEditor(p);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ButtonEditorOpen)->Unit(benchmark::kMillisecond);

// One user's step of the position bar, down and up in turn, on the middle of 40 buttons.
void BM_PositionStep40(benchmark::State& state)
{
    Program p;
    auto* list = p.app->config().findChild<QListWidget*>(QStringLiteral("lstBtns"));
    auto* bar = p.app->config().findChild<QScrollBar*>(QStringLiteral("vsbPos"));
    if (!list || !bar || p.app->set().Tbrs[0].BtnCount != 40) {
        state.SkipWithError("the 40-button toolbar did not come up");
        return;
    }
    list->setCurrentRow(20);
    bool down = true;
    for (auto _ : state) {
        bar->triggerAction(down ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
        down = !down;
        QApplication::processEvents(); // the rebuilt window's paint belongs to the frame as well
    }
    if (list->currentRow() != 20 && list->currentRow() != 21)
        state.SkipWithError("the steps did not follow the moved button");
}
BENCHMARK(BM_PositionStep40)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LargeSetFolder(); // generated now, outside the timing, if need be
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
