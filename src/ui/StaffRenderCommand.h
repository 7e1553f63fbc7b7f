#pragma once

#include <QStringList>

class QTextStream;

namespace plotwell {

/// `plotwell render --staff STAFF -o OUT.pdf|OUT.png|OUT.svg [--paper a4|a3|letter]
/// [--name-column C] [--title-column C] [--manager-column C]`: draws a staff list of any size
/// with the chart page, its data handed over by script. Runs in the QApplication that
/// runRenderCommand() made; \a args are the arguments after "render". Returns the exit code: 0
/// when a chart was written, 1 when not, 2 for a wrong command line.
int runStaffRenderCommand(const QStringList &args, QTextStream &out, QTextStream &err);
/// The staff form's usage lines, for `plotwell render --help`.
[[nodiscard]] const char *staffRenderUsage();
/// What a render command line says of \a option given last, without its value.
[[nodiscard]] QString missingValueProblem(const QString &option);

} // namespace plotwell
