#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace plotwell {

/// The per-user preferences store: string entries by key. A missing key and an empty value
/// are different things to the document code, so lookups say which.
class Preferences
{
public:
    virtual ~Preferences() = default;
    [[nodiscard]] virtual std::optional<QString> value(const QString &key) const = 0;
    virtual void setValue(const QString &key, const QString &value) = 0;
    virtual void remove(const QString &key) = 0;
    /// Flushes to permanent storage.
    virtual void sync() = 0;
};

/// Preferences held in memory: for tests and headless commands.
class MemoryPreferences final : public Preferences
{
public:
    [[nodiscard]] std::optional<QString> value(const QString &key) const override
    {
        const auto found = m_values.constFind(key);
        if (found == m_values.cend())
            return std::nullopt;
        return *found;
    }
    void setValue(const QString &key, const QString &value) override
    {
        m_values.insert(key, value);
    }
    void remove(const QString &key) override { m_values.remove(key); }
    void sync() override { ++m_syncCount; }

    [[nodiscard]] int syncCount() const { return m_syncCount; }
    [[nodiscard]] const QMap<QString, QString> &values() const { return m_values; }

private:
    QMap<QString, QString> m_values;
    int m_syncCount = 0;
};

/// Reads another store and keeps its own changes in memory: a command sees what the user's
/// window stored and leaves it as it was.
class OverlayPreferences final : public Preferences
{
public:
    explicit OverlayPreferences(const Preferences &base) : m_base(base) {}
    [[nodiscard]] std::optional<QString> value(const QString &key) const override
    {
        const auto changed = m_changes.constFind(key);
        return changed == m_changes.cend() ? m_base.value(key) : *changed;
    }
    void setValue(const QString &key, const QString &value) override
    {
        m_changes.insert(key, value);
    }
    void remove(const QString &key) override { m_changes.insert(key, std::nullopt); }
    void sync() override {}

private:
    const Preferences &m_base;
    QMap<QString, std::optional<QString>> m_changes;
};

} // namespace plotwell
