#pragma once

#include "platform/ChartPictures.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace plotwell {

class ChartViewer;
class ViewerLoader;
struct RequestSettings;

/// Which export viewer a picture comes from: the chart-sized `webViewM` or the screen-sized
/// full-screen viewer `webViewL`.
enum class Resolution { Small, High };

/// How much denser than the screen the high-resolution picture is drawn: at least twice, and
/// enough that it has at least twice the pixels of the small picture in each direction, so a
/// chart larger than the screen (which the page shrinks to fit) keeps its detail. Limited so
/// that neither side exceeds kMaxPictureSide pixels at a pixel density of 1.
[[nodiscard]] double hiResScale(QSizeF small, QSizeF large);
inline constexpr double kMaxPictureSide = 16000;

/// PNG encoding of \a image; empty for a null image.
[[nodiscard]] QByteArray pngData(const QImage &image);

/// Writes \a bytes to \a path, atomically when asked (the target is replaced only once all
/// of it is written). Returns what went wrong, empty on success.
[[nodiscard]] QString writeBytes(const QString &path, const QByteArray &bytes, bool atomic);

/// Takes the pictures of the two export viewers and writes them as PNG or PDF.
class ChartExporter
{
public:
    /// Empty on success, otherwise what went wrong, for the user.
    using Done = std::function<void(const QString &problem)>;

    /// Prints the chart of \a data, drawn in \a look, on sheets of paper into \a path; \a noted
    /// hears what the user should know (the sheets it took).
    using SheetPrinter =
        std::function<void(const QString &data, const RequestSettings &look, const QString &path,
                           std::function<void(const QString &note)> noted, Done done)>;

    ChartExporter(ChartViewer &webViewM, ChartViewer &webViewL, ChartPictures &pictures);

    /// How a PDF of a chart beyond the largest picture is printed: on one page it would be
    /// scaled until no name can be read. Without one, it is scaled onto one page.
    void setSheetPrinter(SheetPrinter printer) { m_sheetPrinter = std::move(printer); }
    /// What the last PDF written on sheets left to say; empty after a PDF of one page.
    [[nodiscard]] const QStringList &sheetNotes() const { return m_sheetNotes; }

    /// The loader that fills the viewers: a picture asked for between a render and the export
    /// viewer's load waits for that load, so it shows the new chart.
    void setLoader(ViewerLoader *loader) { m_loader = loader; }
    /// False while no chart has been rendered: the export viewers hold nothing to export.
    [[nodiscard]] bool hasChart() const;
    /// Below 1 when the export viewer's chart was scaled down to the largest picture.
    [[nodiscard]] double exportScale() const;

    [[nodiscard]] ChartViewer &viewer(Resolution resolution) const;
    [[nodiscard]] double pictureScale(Resolution resolution) const;

    /// The picture of the viewer for \a resolution, at its picture scale.
    void picture(Resolution resolution, ChartPictures::ImageDone done);
    void writePng(Resolution resolution, const QString &path, bool atomic, Done done);
    void writePdf(Resolution resolution, const QString &path, bool atomic, Done done);

private:
    /// Runs \a next once the viewer for \a resolution has been given the last render.
    void whenIssued(Resolution resolution, std::function<void()> next);

    ChartViewer &m_webViewM;
    ChartViewer &m_webViewL;
    ChartPictures &m_pictures;
    ViewerLoader *m_loader = nullptr;
    SheetPrinter m_sheetPrinter;
    QStringList m_sheetNotes;
};

} // namespace plotwell
