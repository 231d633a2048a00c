#include "view/SECEditMimeData.h"

#include <QMimeData>
#include <QUrl>

namespace SECEditMimeData {

QString ColumnMarkerFormat()
{
    return QStringLiteral("MSDEVColumnSelect");
}

QMimeData* Make(const SECEditTransfer& data)
{
    auto* mime = new QMimeData;
    const QString text = QString::fromUtf16(data.text.data(), qsizetype(data.text.size()));
    mime->setText(text);
    if (data.column) {
        // The marker refers to the same text, as UTF-16; only its presence counts.
        mime->setData(ColumnMarkerFormat(),
                      QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * qsizetype(sizeof(char16_t))));
    }
    return mime;
}

bool Read(const QMimeData& mime, SECEditTransfer& data)
{
    data = {};
    if (!mime.hasText())
        return false;
    const QString text = mime.text();
    // The text ends at its first zero, as a C string would.
    const qsizetype end = text.indexOf(QChar(u'\0'));
    const QStringView part = end < 0 ? QStringView(text) : QStringView(text).left(end);
    data.text.assign(reinterpret_cast<const char16_t*>(part.utf16()), std::size_t(part.size()));
    data.column = mime.hasFormat(ColumnMarkerFormat());
    return true;
}

bool HasLocalFiles(const QMimeData& mime)
{
    if (!mime.hasUrls())
        return false;
    for (const QUrl& url : mime.urls())
        if (url.isLocalFile())
            return true;
    return false;
}

} // namespace SECEditMimeData
