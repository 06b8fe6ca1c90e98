// Opening the toolbar editor as a user does: the program is up with its configuration
// window shown (so the fonts and the style are loaded, as they are by then), and "Add"
// beside the toolbar list is pressed. Measured from the command to the editor's first
// paint, then closed. The first opening in the process is the one that counts: it makes
// the dialog's classes and styles ready for the first time; the later ones show what is
// left once they are.
//
// Runs on whatever platform QT_QPA_PLATFORM names (offscreen when unset); the figures in
// README.md are from Xvfb, where the window is really made and mapped.

#include "app/App.h"
#include "app/RealServices.h"
#include "app/ToolbarCommands.h"
#include "editors/ToolbarEditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

struct PaintSeen : QObject {
    bool painted{false};
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// One program for the whole process, so the second benchmark finds the editor's first
// opening already behind it.
struct Program {
    QTemporaryDir dir;
    RealServices real;
    std::unique_ptr<App> app;

    Program()
    {
        app = std::make_unique<App>(real.services(), dir.path().toStdString());
        app->start();
        app->showConfig(0);
        settle();
    }
    static void settle()
    {
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents();
    }
    // Seconds from the command to the first paint of the editor.
    double openOnce()
    {
        QElapsedTimer clock;
        clock.start();
        app->addToolbar();
        ToolbarEditor* editor = app->toolbarCommands().editor();
        PaintSeen paint;
        editor->installEventFilter(&paint);
        QElapsedTimer limit;
        limit.start();
        while (!paint.painted && limit.elapsed() < 2000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        editor->removeEventFilter(&paint);
        editor->reject();
        settle();
        return seconds;
    }
};

Program& program()
{
    static Program p;
    return p;
}

void BM_ToolbarEditorFirstOpening(benchmark::State& state)
{
    Program& p = program();
    for (auto _ : state)
        state.SetIterationTime(p.openOnce());
}
BENCHMARK(BM_ToolbarEditorFirstOpening)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ToolbarEditorLaterOpenings(benchmark::State& state)
{
    Program& p = program();
    for (auto _ : state)
        state.SetIterationTime(p.openOnce());
}
BENCHMARK(BM_ToolbarEditorLaterOpenings)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    program(); // started outside the timing
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
