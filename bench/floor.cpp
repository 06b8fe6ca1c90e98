// The floor for any Qt launcher: a bare Qt program that shows one frameless tool window
// the size of an empty toolbar, and nothing else. startup.sh measures the launcher
// against it, so it must stay this small: no store, no icons, no timers.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget w(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    w.setWindowTitle(QStringLiteral("Floor"));
    // Where and how big the default toolbar comes up: 1200 twips = 80 px, 28x28 px.
    w.setGeometry(80, 80, 28, 28);
    w.show();
    return QApplication::exec();
}
