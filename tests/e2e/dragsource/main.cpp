// A stand-in file manager for the end-to-end tests: a small window that, pressed and
// dragged, offers the files named on its command line as text/uri-list, the way file
// managers do. xdotool then carries the drag to a toolbar.
#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

class Source : public QWidget {
public:
    explicit Source(QList<QUrl> urls) : m_urls(std::move(urls))
    {
        setWindowTitle(QStringLiteral("vyre-dragsource"));
        setFixedSize(60, 60);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { m_press = event->position().toPoint(); }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!(event->buttons() & Qt::LeftButton) || (event->position().toPoint() - m_press).manhattanLength() < 4)
            return;
        auto* data = new QMimeData;
        data->setUrls(m_urls);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        // What the target under the pointer answers, so the script waits for it.
        connect(drag, &QDrag::actionChanged, this, [](Qt::DropAction action) {
            std::printf("action %s\n", action == Qt::IgnoreAction ? "refused" : "taken");
            std::fflush(stdout);
        });
        const Qt::DropAction done = drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
        // The script reads whether the drop was taken.
        std::printf("drop %s\n", done == Qt::IgnoreAction ? "refused" : "taken");
        std::fflush(stdout);
    }

private:
    QList<QUrl> m_urls;
    QPoint m_press;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QList<QUrl> urls;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        // Paths as the file system's bytes; anything with a scheme as it is.
        urls << (arg.startsWith('/') ? QUrl::fromLocalFile(QFile::decodeName(arg)) : QUrl::fromEncoded(arg));
    }
    Source source(urls);
    source.move(0, 0);
    source.show();
    return app.exec();
}
