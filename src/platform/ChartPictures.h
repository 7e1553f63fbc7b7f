#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>

#include <functional>

namespace plotwell {

class ChartViewer;

/// Pictures of a chart viewer's page. Both operations wait until the page the viewer last
/// loaded has finished loading and has been painted, so a picture never shows a blank or a
/// previous chart. A viewer that never loaded anything gives its empty picture at once.
class ChartPictures
{
public:
    using ImageDone = std::function<void(const QImage &image)>;
    using PdfDone = std::function<void(const QByteArray &pdf)>;

    virtual ~ChartPictures() = default;

    /// The viewer's size in device-independent pixels.
    [[nodiscard]] virtual QSizeF viewerSize(const ChartViewer &viewer) const = 0;

    /// A bitmap of the viewer's page, laid out at the viewer's size and drawn at \a scale times
    /// the screen's pixel density. A null image when no picture could be taken.
    virtual void takePicture(ChartViewer &viewer, double scale, ImageDone done) = 0;

    /// A vector PDF of the viewer's page: one page as large as the chart, text kept as text.
    /// Empty when printing failed.
    virtual void printToPdf(ChartViewer &viewer, PdfDone done) = 0;
};

/// Reads the chart's size in CSS pixels ("width height"): the drawing itself, or the document
/// when the page holds no chart drawing.
inline constexpr char kChartSizeScript[] =
    "(function () {"
    " var s = document.querySelector('svg.orgchart');"
    " var e = document.documentElement;"
    " if (s) { var r = s.getBoundingClientRect(); return r.width + ' ' + r.height; }"
    " return e.scrollWidth + ' ' + e.scrollHeight; })()";

/// The answer of kChartSizeScript as a size; empty when it is not two positive numbers.
[[nodiscard]] QSizeF parseChartSize(const QString &answer);

} // namespace plotwell
