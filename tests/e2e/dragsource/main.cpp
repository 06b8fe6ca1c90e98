// A stand-in file manager for the end-to-end tests: a small window that, pressed and
// dragged, offers files as text/uri-list, the way file managers do. xdotool then carries
// the drag to a toolbar. The files are those named on the command line, or with
// "--list FILE" those named by FILE's lines, read anew at each drag, so one source serves
// a whole script.
#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

// Paths as the file system's bytes; anything with a scheme as it is.
QUrl url(const QByteArray& arg)
{
    return arg.startsWith('/') ? QUrl::fromLocalFile(QFile::decodeName(arg)) : QUrl::fromEncoded(arg);
}

class Source : public QWidget {
public:
    Source(QList<QUrl> urls, QString list) : m_urls(std::move(urls)), m_list(std::move(list))
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
        if (!m_list.isEmpty()) {
            QFile file(m_list);
            m_urls.clear();
            if (file.open(QIODevice::ReadOnly))
                for (const QByteArray& line : file.readAll().split('\n'))
                    if (!line.isEmpty())
                        m_urls << url(line);
        }
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
    QString m_list;
    QPoint m_press;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QList<QUrl> urls;
    QString list;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--list" && i + 1 < argc)
            list = QFile::decodeName(argv[++i]);
        else
            urls << url(argv[i]);
    }
    Source source(urls, list);
    source.move(0, 0);
    source.show();
    return app.exec();
}
