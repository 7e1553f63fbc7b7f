#pragma once

#include <QSize>

#include <algorithm>
#include <cmath>

namespace plotwell {

/// The largest picture the engine is asked to paint: Chromium's tiles stop at 16384 pixels a side,
/// and a picture of 64 million pixels already takes a quarter of a gigabyte.
inline constexpr int kLargestPictureSide = 16384;
inline constexpr qint64 kLargestPicturePixels = 64'000'000;

/// How far a chart of \a chart pixels is scaled down to stay within both limits (1 when it fits).
[[nodiscard]] inline double largestPictureScale(QSize chart)
{
    if (chart.isEmpty())
        return 1.0;
    const double side = double(kLargestPictureSide) / std::max(chart.width(), chart.height());
    const double area =
        std::sqrt(double(kLargestPicturePixels) / (double(chart.width()) * chart.height()));
    return std::min({1.0, side, area});
}

} // namespace plotwell
