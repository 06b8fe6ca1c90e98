// A stand-in file manager for the end-to-end tests: a small window that, pressed and
// dragged, offers files as text/uri-list, the way file managers do. xdotool then carries
// the drag to a toolbar. The files are those named by the lines of the file given on the
// command line, read anew at each drag, so one source serves a whole script.
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
    explicit Source(QString list) : m_list(std::move(list))
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
        QList<QUrl> urls;
        QFile file(m_list);
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray& line : file.readAll().split('\n'))
                if (!line.isEmpty())
                    urls << QUrl::fromLocalFile(QFile::decodeName(line)); // as the file system's bytes
        auto* data = new QMimeData;
        data->setUrls(urls);
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
    QString m_list;
    QPoint m_press;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Source source(argc > 1 ? QFile::decodeName(argv[1]) : QString());
    source.move(0, 0);
    source.show();
    return app.exec();
}
