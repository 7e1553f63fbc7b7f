#include "base/CommandCenter.h"

#include "base/Log.h"

#include <exception>

namespace plotwell {

bool runGuarded(const QString &guardLine, const std::function<void()> &body)
{
    try {
        body();
        return true;
    } catch (const std::exception &error) {
        diag(guardLine);
        qCWarning(lcPlotwell).noquote() << "  cause:" << error.what();
    } catch (...) {
        diag(guardLine);
    }
    return false;
}

void CommandCenter::observe(const QString &command, Handler handler, QString guardLine)
{
    if (!m_handlers.count(command))
        m_order.push_back(command);
    if (guardLine.isEmpty())
        guardLine = QStringLiteral("Exception occured at ") + command;
    m_handlers[command].push_back({std::move(handler), std::move(guardLine)});
}

int CommandCenter::post(const QString &command, const QVariant &object)
{
    const auto found = m_handlers.find(command);
    if (found == m_handlers.end())
        return 0;
    // Copy: a handler may register further observers while we walk the list.
    const std::vector<Registration> handlers = found->second;
    for (const Registration &registration : handlers)
        runGuarded(registration.guardLine, [&] { registration.handler(object); });
    return int(handlers.size());
}

bool CommandCenter::isObserved(const QString &command) const
{
    return m_handlers.count(command) != 0;
}

QStringList CommandCenter::observedCommands() const
{
    QStringList names;
    for (const QString &name : m_order)
        names << name;
    return names;
}

} // namespace plotwell
