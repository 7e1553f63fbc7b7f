#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <map>
#include <vector>

namespace plotwell {

/// The command vocabulary's switchboard. Menu and toolbar actions post a named command;
/// whoever registered for that name runs, synchronously and in registration order, before
/// post() returns. A command nobody observes does nothing.
class CommandCenter
{
public:
    using Handler = std::function<void(const QVariant &object)>;

    /// Registers \a handler for \a command. When the handler throws, \a guardLine is written
    /// to the log and the remaining handlers still run; nothing is undone.
    void observe(const QString &command, Handler handler, QString guardLine = {});

    /// Runs every handler of \a command. Returns how many handlers ran.
    int post(const QString &command, const QVariant &object = {});

    [[nodiscard]] bool isObserved(const QString &command) const;
    [[nodiscard]] QStringList observedCommands() const;

private:
    struct Registration
    {
        Handler handler;
        QString guardLine;
    };
    std::map<QString, std::vector<Registration>> m_handlers;
    std::vector<QString> m_order;
};

/// Runs \a body; an exception is logged as \a guardLine and swallowed. The common guard of
/// command handlers. Returns false when the body threw.
bool runGuarded(const QString &guardLine, const std::function<void()> &body);

} // namespace plotwell
