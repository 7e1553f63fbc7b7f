#include "base/DocumentNames.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace plotwell::document {

QString documentName(const QString &urlText)
{
    return urlText.section(QLatin1Char('/'), -1);
}

QString pathExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString baseName(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString readableName(const QString &escaped)
{
    return QUrl::fromPercentEncoding(escaped.toUtf8());
}

CompanionKeys companionKeys(const QString &documentName)
{
    const auto replaced = [&](const QString &with) {
        QString key = documentName;
        return key.replace(QLatin1Char('.'), with);
    };
    return {replaced(QString()), replaced(QStringLiteral("~")), replaced(QStringLiteral("n")),
            replaced(QStringLiteral("NULL")), replaced(QStringLiteral("m"))};
}

QString companionName(const QString &urlText)
{
    const QString path = QDir::cleanPath(QFileInfo(localFileOfUrlText(urlText)).absoluteFilePath());
    const QByteArray digest = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1);
    return documentName(urlText) + QLatin1Char('@') + QString::fromLatin1(digest.toHex().left(16));
}

QString urlTextOfLocalFile(const QString &path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

QString urlTextFromPath(const QString &pathOrUrl)
{
    QString compact = pathOrUrl;
    compact.remove(QLatin1Char(' '));
    if (compact.contains(QLatin1String("file:/"))) {
        QString url = pathOrUrl;
        return url.replace(QLatin1Char(' '), QLatin1String("%20"));
    }
    // A bare "file:///" plus the raw path would leave non-ASCII letters unescaped, so the same
    // file would get another document name (and lose its companion entries) than it gets
    // through the open panel.
    return QStringLiteral("file:///") + QUrl::fromLocalFile(pathOrUrl).path(QUrl::FullyEncoded);
}

QString localFileOfUrlText(const QString &urlText)
{
    QString text = urlText;
    text.replace(QLatin1Char(' '), QLatin1String("%20"));
    const QUrl url(text);
    if (!url.isLocalFile())
        return {};
    QString path = url.toLocalFile();
    // "file:////home/x" names "//home/x"; collapse the doubled slash so the path is the one the
    // user picked.
    while (path.startsWith(QLatin1String("//")))
        path.remove(0, 1);
    return QDir::cleanPath(path);
}

FileKind classifyDocumentName(const QString &name)
{
    QString extension = pathExtension(name);
    extension.remove(QLatin1Char(' '));
    if (extension == QLatin1String("csv") || extension == QLatin1String("CSV"))
        return FileKind::Csv;
    if (extension == QLatin1String("tsv") || extension == QLatin1String("TSV"))
        return FileKind::Tsv;
    return FileKind::Invalid;
}

QString withTypeExtension(const QString &path, const QStringList &types)
{
    for (const QString &type : types) {
        if (path.endsWith(QLatin1Char('.') + type, Qt::CaseInsensitive))
            return path;
    }
    return types.isEmpty() ? path : path + QLatin1Char('.') + types.first();
}

QString exportFileName(const QString &chartTitle, const QString &document)
{
    const auto cleaned = [](QString name) {
        static const QString refused = QStringLiteral("/\\:*?\"<>|");
        for (QChar &c : name)
            if (refused.contains(c) || c.category() == QChar::Other_Control)
                c = QLatin1Char(' ');
        return name.simplified();
    };
    QString name = cleaned(chartTitle);
    if (name.isEmpty() && !document.isEmpty())
        name = cleaned(readableName(baseName(documentName(document))));
    return name.isEmpty() ? QStringLiteral("Org Chart") : name;
}

} // namespace plotwell::document
