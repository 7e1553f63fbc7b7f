#pragma once

#include "export/ChartExporter.h"
#include "platform/qt/WebEngineChartPictures.h"
#include "platform/qt/WebEngineChartViewer.h"
#include "render/PageRequest.h"
#include "render/PictureLimits.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QPageLayout;
class QWebEngineView;

namespace plotwell {

/// Draws a data string of any size (a whole organisation) with the chart page in an off-screen
/// view of its own and writes the file \a target's suffix names: an SVG; a PDF on one page of the
/// chart's size, or on sheets of \a paper ("a4", "a3", "letter"; A3 when the chart is too large
/// for one page and none was chosen); a PNG, scaled to what the engine paints. `plotwell render
/// --staff` and the window's exports of a whole organisation both write through it. Each step
/// waits for the page's answer to the one before.
class OrganisationFile : public QObject
{
public:
    /// What the user should know on the way (a chart scaled, the sheets it takes).
    std::function<void(const QString &note)> noted;
    /// The end: empty when the file was written, else why not (also when cancelled()).
    std::function<void(const QString &problem)> finished;
    /// How far it has got, as each step begins and each batch of sheets is printed: \a done of
    /// \a of sheets printed; \a of 0 while the chart is drawn or the file written, which cannot
    /// say how far they are.
    std::function<void(int done, int of)> progressed;

    OrganisationFile(QString data, const QString &target, QString paper = QString(),
                     QObject *parent = nullptr);
    ~OrganisationFile() override;

    /// Draws with a chart's own look (colours, node width, font) instead of the organisation's.
    void setLook(const RequestSettings &look) { m_look = look; }
    /// Prints on sheets any chart larger than the largest picture, not only one beyond the
    /// largest page: a grid chart's PDF, which was never scaled to fit a page.
    void setPagedBeyondPicture(bool paged) { m_pagedBeyondPicture = paged; }

    void start();
    [[nodiscard]] QString target() const { return m_target; }
    /// Stops at the next step, before anything is written; finished() follows. The step under
    /// way (the page drawing or printing) cannot be cut short.
    void cancel() { m_cancelRequested = true; }
    [[nodiscard]] bool cancelled() const { return m_cancelRequested && m_ended; }

private:
    void phase(const char *what);
    void draw(const QString &options, const std::function<void(QSizeF)> &then);
    void drawn(QSizeF size);
    void writeSvg();
    void writePdf();
    void layOutSheets(int first);
    void print(const QPageLayout &layout, const std::function<void(const QByteArray &)> &then);
    void writePng();
    void picture(QSize size);
    void save(const QByteArray &bytes);
    void end(const QString &problem);
    /// After cancel(): ends, and says the step that just finished is to go no further.
    bool stopped();
    void note(const QString &text);
    void progress(int done, int of);

    QString m_paper;
    std::optional<RequestSettings> m_look;
    bool m_pagedBeyondPicture = false;
    QString m_data;
    std::unique_ptr<QWebEngineView> m_view;
    WebEngineChartViewer m_viewer;
    WebEngineChartPictures m_pictures;
    QString m_target;
    QString m_suffix;
    QSizeF m_size;
    bool m_loaded = false;
    bool m_ended = false;
    bool m_printing = false;
    bool m_cancelRequested = false;
    QElapsedTimer m_clock;
    QList<QByteArray> m_batches;
};

/// How the window and `plotwell render` print a grid chart beyond the largest picture: on
/// sheets, through `OrganisationFile`, in the chart's own look. \a owner outlives the printing.
[[nodiscard]] ChartExporter::SheetPrinter gridSheetPrinter(QObject *owner);

} // namespace plotwell
