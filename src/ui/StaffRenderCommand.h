#pragma once

#include <QSize>
#include <QStringList>

class QTextStream;

namespace plotwell {

/// The largest picture the engine is asked to paint: Chromium's tiles stop at 16384 pixels a side,
/// and a picture of 64 million pixels already takes a quarter of a gigabyte.
inline constexpr int kLargestPictureSide = 16384;
inline constexpr qint64 kLargestPicturePixels = 64'000'000;

/// How far a chart of \a chart pixels is scaled down to stay within both limits (1 when it fits).
[[nodiscard]] double staffPictureScale(QSize chart);

/// `plotwell render --staff STAFF -o OUT.pdf|OUT.png|OUT.svg [--paper a4|a3|letter]
/// [--name-column C] [--title-column C] [--manager-column C]`: draws a staff list of any size
/// with the chart page, its data handed over by script. Runs in the QApplication that
/// runRenderCommand() made; \a args are the arguments after "render". Returns the exit code: 0
/// when a chart was written, 1 when not, 2 for a wrong command line.
int runStaffRenderCommand(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace plotwell
