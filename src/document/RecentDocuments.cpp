#include "document/RecentDocuments.h"

#include "platform/Preferences.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace plotwell::document {

const QString &RecentDocuments::key()
{
    static const QString name = QStringLiteral("recentDocuments");
    return name;
}

RecentDocuments::RecentDocuments(Preferences &preferences, QObject *parent)
    : QObject(parent), m_preferences(preferences)
{}

QStringList RecentDocuments::paths() const
{
    // A JSON array, because a path may hold any separator a plain joined list would use.
    const QJsonArray stored =
        QJsonDocument::fromJson(m_preferences.value(key()).value_or(QString()).toUtf8()).array();
    QStringList list;
    for (const QJsonValue &entry : stored) {
        const QString path = entry.toString();
        if (!path.isEmpty() && !list.contains(path) && list.size() < kMaximum)
            list << path;
    }
    return list;
}

void RecentDocuments::add(const QString &path)
{
    if (path.isEmpty())
        return;
    QStringList list = paths();
    list.removeAll(path);
    list.prepend(path);
    store(list.mid(0, kMaximum));
}

void RecentDocuments::remove(const QString &path)
{
    QStringList list = paths();
    if (list.removeAll(path))
        store(list);
}

void RecentDocuments::clear()
{
    store({});
}

void RecentDocuments::store(const QStringList &paths)
{
    m_preferences.setValue(
        key(),
        QString::fromUtf8(
            QJsonDocument(QJsonArray::fromStringList(paths)).toJson(QJsonDocument::Compact)));
    m_preferences.sync();
    Q_EMIT changed();
}

} // namespace plotwell::document
