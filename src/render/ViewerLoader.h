#pragma once

#include "render/PageRequest.h"

#include <QList>
#include <QObject>
#include <QSizeF>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>
#include <utility>

namespace plotwell {

class ChartGrid;
class ChartViewer;
class CommandCenter;
class Desktop;
struct AppState;

/// Loads a rendered chart into the three viewers and keeps the undo and redo commands in
/// step with the visible viewer's history.
///
/// The visible viewer `webView` gets the viewer request at once. The two export viewers wait
/// until `webView` has finished loading the new chart, so that the chart on screen comes first:
/// then the full-screen viewer `webViewL` gets the full-screen request sized to the last screen,
/// and the two size scripts measure the chart for the export viewer `webViewM`, so that it is
/// sized to the chart being exported and not to whatever the visible viewer showed before.
class ViewerLoader : public QObject
{
    Q_OBJECT
public:
    /// The requests carry the settings of \a grid and \a state as they are at each render.
    ViewerLoader(ChartViewer &webView, ChartViewer &webViewM, ChartViewer &webViewL,
                 const ChartGrid &grid, const AppState &state, CommandCenter &center,
                 Desktop &desktop, QObject *parent = nullptr);

    /// `loadWebView:`: the three requests for one data string.
    void loadWebView(const QString &data);
    /// The same requests, but the visible viewer swaps the chart on show for the new one in
    /// place (`location.replace`), adding no step to its history. Without a chart on show it
    /// loads as loadWebView() does.
    void replaceWebView(const QString &data);
    /// Draws \a data, the chart of \a people, in `webView` alone, handed to the page by script: a
    /// whole organisation's data is too long for an address. Such a chart is only looked at
    /// (searched, folded, exported from `webView`); the export viewers keep the grid's chart.
    /// drawingStarted() and drawingEnded() frame the drawing.
    void loadWebViewByScript(const QString &data, int people);
    /// What the window says while \a people are drawn (0: a chart of a size not known here).
    [[nodiscard]] static QString drawingLabel(int people);
    /// The data string of the whole organisation `webView` shows, while it shows one: its
    /// exports are drawn from it, not from the export viewers.
    [[nodiscard]] const std::optional<QString> &organisationShown() const { return m_organisation; }
    /// The visible viewer.
    [[nodiscard]] ChartViewer &webView() { return m_webView; }
    /// Loads the placeholder page into `webView`, unless it shows it already.
    void showPlaceholder();
    /// Someone else has loaded a page into `webView`: the placeholder is no longer on screen.
    void placeholderReplaced() { setPlaceholderShown(false); }
    /// Whether `webView` shows the placeholder: the window puts its start screen over it.
    [[nodiscard]] bool placeholderShown() const { return m_placeholderShown; }

    void undoAction();
    void redoAction();

    /// What the chart page's own controls do, asked from the window.
    enum class ChartMove { Find, ZoomIn, ZoomOut, Fit };
    /// Passes \a move to the chart on screen; a page without a chart (the placeholder, a
    /// table preview) ignores it.
    void moveChart(ChartMove move);
    /// Posts the redo and then the undo state of `webView`'s history.
    void updateBackForwardStatus();

    /// True from a render until the export viewers' loads have been issued: while `webView`
    /// finishes the chart and while the size scripts measure it.
    [[nodiscard]] bool exportPending() const { return m_pendingExport.has_value() || m_measuring; }
    /// The largest side, in pixels, the export viewer is given: a larger chart is drawn smaller
    /// into a box of this size, since a picture beyond it costs gigabytes or is left blank.
    static constexpr double kLargestExportSide = 16000;
    /// Below 1 when the last chart was too large for the export viewer and was scaled down.
    [[nodiscard]] double exportScale() const { return m_exportScale; }
    /// Whether the chart last given to the export viewer is beyond the largest picture the engine
    /// paints: on one page it would be scaled until its names cannot be read.
    [[nodiscard]] bool exportBeyondPicture() const;
    /// The data string and the look of the chart last given to the export viewer.
    [[nodiscard]] const QString &exportedData() const { return m_exportedData; }
    [[nodiscard]] const RequestSettings &exportedLook() const { return m_exportedLook; }
    /// True once a chart has been asked of the viewers: before that there is nothing to export.
    [[nodiscard]] bool chartRequested() const { return m_renderSerial > 0; }

Q_SIGNALS:
    /// `webView` finished a load (`webView:didFinishLoadForFrame:`).
    void viewerLoadFinished(bool ok);
    /// The export viewer was given a chart of this size (chart plus a 20-point margin).
    void exportViewerSized(QSizeF size);
    /// `webView` was sent to another page: a chart, the placeholder, or a step in its history.
    void webViewPageRequested();
    /// The placeholder came on screen or left it.
    void placeholderShownChanged(bool shown);
    /// `webView` is drawing a chart, which may take seconds: a whole organisation of \a people,
    /// or (0 people) the grid's chart or a step of its history, which may land on an
    /// organisation. For tens of thousands of people the page shows nothing while the engine
    /// builds and paints it, and whatever is asked next waits for that.
    void drawingStarted(int people);
    /// The chart is on screen, its page failed, or `webView` was sent elsewhere first.
    void drawingEnded();

private:
    void requestChart(const QString &data, bool replace);
    void webViewDidFinishLoad(bool ok);
    void recallOrganisationShown();
    /// Undo and redo: \a move steps the visible viewer through its history.
    void moveInHistory(const std::function<void()> &move);
    void setPlaceholderShown(bool shown);
    void beginDrawing(int people);
    /// Says that the drawing under way, if any, is no longer awaited.
    void endDrawing();
    void loadWebViewShare(const QString &data, quint64 serial);
    void loadWebViewFullScreen(const QString &data);

    ChartViewer &m_webView;
    ChartViewer &m_webViewM;
    ChartViewer &m_webViewL;
    const ChartGrid &m_grid;
    const AppState &m_state;
    CommandCenter &m_center;
    Desktop &m_desktop;
    std::optional<QString> m_pendingExport;
    std::optional<QString> m_organisation;
    /// The organisations drawn by script lately, as the page keeps each with its history step
    /// (encoded) and as they were given: a step gone back to may show one of them again.
    QList<std::pair<QString, QString>> m_organisationsDrawn;
    bool m_steppingInHistory = false;
    quint64 m_renderSerial = 0;
    bool m_measuring = false;
    double m_exportScale = 1.0;
    QSizeF m_exportedNatural;
    QString m_exportedData;
    RequestSettings m_exportedLook;
    bool m_placeholderShown = false;
    /// Which drawing is awaited (drawingStarted()); 0 when none is.
    quint64 m_drawing = 0;
    quint64 m_drawingsBegun = 0;
};

} // namespace plotwell
