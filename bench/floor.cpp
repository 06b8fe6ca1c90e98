// The floor for any Qt launcher: a bare Qt program that shows one frameless tool window
// the size of an empty toolbar, and nothing else. startup.sh measures the launcher
// against it, so it must stay this small: no store, no icons, no timers.
//
//   vyre_floor [WINDOWS]
//
// WINDOWS, a file of lines "WIDTH HEIGHT X Y TITLE" (the title is the rest of the line:
// what vyre_xprobe writes with XPROBE_GEOMETRY), makes it show those windows instead,
// empty and all at once: the floor for showing that many windows of those sizes, which
// no launcher showing them can go below whatever it draws in them.

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::vector<std::unique_ptr<QWidget>> windows;
    if (argc < 2) {
        auto w = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint);
        w->setWindowTitle(QStringLiteral("Floor"));
        // Where and how big the default toolbar comes up: 1200 twips = 80 px, 28x28 px.
        w->setGeometry(80, 80, 28, 28);
        windows.push_back(std::move(w));
    } else if (std::FILE* f = std::fopen(argv[1], "r")) {
        int width = 0, height = 0, x = 0, y = 0;
        char title[256];
        while (std::fscanf(f, "%d %d %d %d %255[^\n]", &width, &height, &x, &y, title) == 5) {
            auto w = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint);
            w->setWindowTitle(QString::fromUtf8(title));
            w->setGeometry(x, y, width, height);
            windows.push_back(std::move(w));
        }
        std::fclose(f);
    }
    if (windows.empty()) {
        std::fprintf(stderr, "vyre_floor: no windows in %s\n", argv[1]);
        return 64;
    }
    for (const auto& w : windows)
        w->show();
    return QApplication::exec();
}
