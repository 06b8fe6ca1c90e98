#include "platform/DropItems.h"

#include <QMimeData>
#include <QUrl>

std::vector<std::string> dropItems(const QMimeData* data)
{
    std::vector<std::string> items;
    if (!data || !data->hasUrls())
        return items;
    const QList<QUrl> urls = data->urls();
    items.reserve(std::size_t(urls.size()));
    for (const QUrl& url : urls) {
        if (!url.isValid() || url.isEmpty())
            continue;
        if (url.isLocalFile() && url.host().isEmpty()) {
            // QUrl keeps bytes that are not UTF-8 percent-encoded, so decoding the
            // encoded path gives the file system's bytes back exactly.
            const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
            if (!path.isEmpty())
                items.emplace_back(path.constData(), std::size_t(path.size()));
        } else {
            const QByteArray uri = url.toEncoded();
            items.emplace_back(uri.constData(), std::size_t(uri.size()));
        }
    }
    return items;
}

bool carriesItems(const QMimeData* data)
{
    return data && data->hasUrls() && !data->urls().isEmpty();
}
