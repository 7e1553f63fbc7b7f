#pragma once

#include <QObject>
#include <QStringList>

namespace plotwell {
class Preferences;
}

namespace plotwell::document {

/// The documents opened lately, newest first, kept in the preferences store so the Open Recent
/// menu survives a restart. A file opened again moves to the front instead of appearing twice.
class RecentDocuments : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaximum = 10;
    /// Preference key of the list.
    static const QString &key();

    explicit RecentDocuments(Preferences &preferences, QObject *parent = nullptr);

    /// Local paths, newest first.
    [[nodiscard]] QStringList paths() const;
    void add(const QString &path);
    void remove(const QString &path);
    void clear();

Q_SIGNALS:
    void changed();

private:
    void store(const QStringList &paths);

    Preferences &m_preferences;
};

} // namespace plotwell::document
