#pragma once

// The built `plotwell` run as a user runs it: its exit code and both outputs.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace plotwell::testing {

struct ProcessRun
{
    int exitCode = -1; ///< -1 when it did not finish in time
    QString out;       ///< standard output, trimmed
    QString err;
};

inline ProcessRun runPlotwell(const QStringList &arguments, int timeoutMs = 300000)
{
    QProcess process;
    process.start(QStringLiteral(PLOTWELL_BINARY_DIR "/plotwell"), arguments);
    ProcessRun run;
    if (!process.waitForFinished(timeoutMs))
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace plotwell::testing
