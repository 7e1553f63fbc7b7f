#pragma once

// Collects the diagnostic lines written while it lives, for tests that check what was logged
// and in which order.

#include "base/Log.h"

#include <QStringList>
#include <QtGlobal>

namespace plotwell::testing {

class LogCapture
{
public:
    LogCapture()
    {
        s_current = this;
        setDiagnosticsShown(true);
        m_previous = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        setDiagnosticsShown(false);
        s_current = nullptr;
    }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines;

    /// Index of the first line equal to \a line at or after \a from, or -1.
    [[nodiscard]] qsizetype find(const QString &line, qsizetype from = 0) const
    {
        return lines.indexOf(line, from);
    }
    [[nodiscard]] bool has(const QString &line) const { return lines.contains(line); }

private:
    static void handle(QtMsgType, const QMessageLogContext &context, const QString &message)
    {
        if (s_current && context.category &&
            QLatin1String(context.category) == QLatin1String("plotwell"))
            s_current->lines << message;
    }
    static inline LogCapture *s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
};

} // namespace plotwell::testing
