#include "render/ViewerLoader.h"

#include "base/AppState.h"
#include "base/CommandCenter.h"
#include "base/Commands.h"
#include "base/Log.h"
#include "model/ChartGrid.h"
#include "platform/ChartViewer.h"
#include "platform/Desktop.h"
#include "render/PageRequest.h"
#include "render/PictureLimits.h"

#include <QLocale>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace plotwell {

namespace {

/// How long the export viewers wait for the chart on screen to paint before they load anyway.
constexpr int kExportPaintPatienceMs = 300;
/// How long a drawing may take to be built and painted before the window stops saying that it
/// is being drawn: tens of thousands of people take seconds.
constexpr int kDrawingPaintPatienceMs = 120000;

} // namespace

ViewerLoader::ViewerLoader(ChartViewer &webView, ChartViewer &webViewM, ChartViewer &webViewL,
                           const ChartGrid &grid, const AppState &state, CommandCenter &center,
                           Desktop &desktop, QObject *parent)
    : QObject(parent), m_webView(webView), m_webViewM(webViewM), m_webViewL(webViewL), m_grid(grid),
      m_state(state), m_center(center), m_desktop(desktop)
{
    connect(&m_webView, &ChartViewer::loadFinished, this, &ViewerLoader::webViewDidFinishLoad);
}

void ViewerLoader::loadWebView(const QString &data)
{
    requestChart(data, false);
}

void ViewerLoader::replaceWebView(const QString &data)
{
    requestChart(data, true);
}

void ViewerLoader::requestChart(const QString &data, bool replace)
{
    runGuarded(QStringLiteral("Exception occured LoadwebView"), [&] {
        diag(QStringLiteral("FONT STYLE ON RENDER ") + m_state.appearance.fontFamily);
        diag(QStringLiteral("Chart Title ") + m_grid.setting(ChartSetting::ChartTitle));
        const QString address = viewerRequest(gatherRequestSettings(m_grid, m_state), data);
        diag(QStringLiteral("loadWebView: FINAL PATH  ") + address);
        const QUrl url = requestUrl(address);
        m_organisation.reset();
        // Quick, as a rule; but it waits for the engine if that is still busy with an
        // organisation asked for before.
        beginDrawing(0);
        const auto page = [](const QUrl &u) {
            return u.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment);
        };
        // Only a chart on show is swapped in place; the placeholder or a table preview is
        // left behind as a step of its own, as a first render always did.
        // A chart too long for an address goes by the scripted route, which a swap cannot take.
        if (replace && !m_placeholderShown && !m_webView.currentUrl().isEmpty() &&
            page(m_webView.currentUrl()) == page(url) &&
            url.toEncoded().size() <= kLongestAddress) {
            m_webView.replace(url);
        } else {
            m_webView.load(url);
        }
        setPlaceholderShown(false);
        Q_EMIT webViewPageRequested();
        // The export viewers wait for the chart just requested: the export viewer is measured
        // from it, and the full-screen viewer's page would share the engine's page process
        // with it and make the chart on screen appear later.
        m_pendingExport = data;
        ++m_renderSerial;
    });
}

void ViewerLoader::loadWebViewByScript(const QString &data, int people)
{
    m_pendingExport.reset();
    ++m_renderSerial;
    m_organisation = data;
    const ScriptedRequest scripted =
        scriptedRequest(requestUrl(viewerRequest(gatherRequestSettings(m_grid, m_state), data)));
    m_organisationsDrawn.append({scripted.data, data});
    // Each may be megabytes: only the last few are remembered.
    if (m_organisationsDrawn.size() > 4)
        m_organisationsDrawn.removeFirst();
    beginDrawing(people);
    m_webView.loadThenRun(scripted.page, scripted.script);
    setPlaceholderShown(false);
    Q_EMIT webViewPageRequested();
}

QString ViewerLoader::drawingLabel(int people)
{
    return people > 0 ? QStringLiteral("Drawing %1 people…").arg(QLocale().toString(people))
                      : QStringLiteral("Drawing the chart…");
}

void ViewerLoader::beginDrawing(int people)
{
    endDrawing();
    m_drawing = ++m_drawingsBegun;
    Q_EMIT drawingStarted(people);
}

void ViewerLoader::endDrawing()
{
    if (std::exchange(m_drawing, 0) != 0)
        Q_EMIT drawingEnded();
}

void ViewerLoader::loadWebViewFullScreen(const QString &data)
{
    runGuarded(QStringLiteral("Exception occured at loadWebview Fullscreen"), [&] {
        const QSizeF screen = m_desktop.lastScreenAvailableSize();
        const QString address = fullScreenRequest(gatherRequestSettings(m_grid, m_state), data,
                                                  screen.width(), screen.height());
        diag(QStringLiteral("loadWebViewFullScreen: FINAL PATH  ") + address);
        m_webViewL.load(requestUrl(address));
    });
}

void ViewerLoader::loadWebViewShare(const QString &data, quint64 serial)
{
    // Both scripts answer asynchronously; the load waits for the second answer and is dropped
    // when a newer render has started meanwhile.
    struct Measure
    {
        double width = 0;
        double height = 0;
        int answers = 0;
    };
    auto measure = std::make_shared<Measure>();
    m_measuring = true;
    // A viewer answers pending scripts with nothing when it is torn down, possibly after this
    // loader is gone.
    const QPointer<ViewerLoader> self(this);
    const auto finish = [self, data, serial, measure] {
        if (!self || ++measure->answers < 2 || serial != self->m_renderSerial)
            return;
        ViewerLoader *const that = self.data();
        that->m_measuring = false;
        runGuarded(QStringLiteral("Exception occured at will enter LoadwebviewShare"), [&] {
            diag(QStringLiteral("Height %1").arg(measure->height, 0, 'f', 6));
            diag(QStringLiteral("Width %1").arg(measure->width, 0, 'f', 6));
            QSizeF chart(measure->width, measure->height);
            const double longest = std::max(chart.width(), chart.height());
            that->m_exportScale = longest > kLargestExportSide ? kLargestExportSide / longest : 1.0;
            that->m_exportedNatural = chart;
            that->m_exportedData = data;
            that->m_exportedLook = gatherRequestSettings(that->m_grid, that->m_state);
            chart *= that->m_exportScale;
            const QString address =
                exportRequest(that->m_exportedLook, data, chart.width(), chart.height());
            diag(QStringLiteral("loadWebViewShare: FINAL PATH  ") + address);
            Q_EMIT that->exportViewerSized(QSizeF(chart.width() + 20, chart.height() + 20));
            that->m_webViewM.load(requestUrl(address));
        });
    };
    m_webView.evaluate(kScrollWidthScript, [measure, finish](const QString &answer) {
        measure->width = sizeFromScriptResult(answer);
        finish();
    });
    m_webView.evaluate(kScrollHeightScript, [measure, finish](const QString &answer) {
        measure->height = sizeFromScriptResult(answer);
        finish();
    });
}

bool ViewerLoader::exportBeyondPicture() const
{
    const QSize natural(int(std::ceil(m_exportedNatural.width())),
                        int(std::ceil(m_exportedNatural.height())));
    return m_exportScale < 1.0 || largestPictureScale(natural) < 1.0;
}

void ViewerLoader::showPlaceholder()
{
    // Every layout pass asks for the placeholder while the grid is empty. Loading it again would
    // put one page per window resize into the history that undo walks.
    if (m_placeholderShown)
        return;
    m_organisation.reset();
    endDrawing();
    m_webView.load(placeholderUrl());
    setPlaceholderShown(true);
    Q_EMIT webViewPageRequested();
}

void ViewerLoader::setPlaceholderShown(bool shown)
{
    if (shown == m_placeholderShown)
        return;
    m_placeholderShown = shown;
    Q_EMIT placeholderShownChanged(shown);
}

void ViewerLoader::webViewDidFinishLoad(bool ok)
{
    runGuarded(QStringLiteral("Exception occured at Webview did finish"), [&] {
        diag(QStringLiteral("WEBVIEW FINISHED LOAD"));
        Q_EMIT viewerLoadFinished(ok);
        updateBackForwardStatus();
        if (std::exchange(m_steppingInHistory, false) && ok)
            recallOrganisationShown();
        if (m_drawing != 0 && !ok) {
            endDrawing();
        } else if (m_drawing != 0) {
            const QPointer<ViewerLoader> self(this);
            const quint64 drawing = m_drawing;
            m_webView.whenPainted(
                [self, drawing] {
                    if (self && self->m_drawing == drawing)
                        self->endDrawing();
                },
                kDrawingPaintPatienceMs);
        }
        // A load cut short by the next one (Render pressed twice) leaves the old page on
        // screen; measuring it would size the export viewer for the wrong chart. The export
        // waits for the load that succeeds, and starts once the chart on screen has painted:
        // the export viewers' loads would hold up its frame. Until then an export waits too.
        if (m_pendingExport && ok) {
            const QPointer<ViewerLoader> self(this);
            const quint64 serial = m_renderSerial;
            m_webView.whenPainted(
                [self, serial] {
                    if (!self || serial != self->m_renderSerial || !self->m_pendingExport)
                        return;
                    const QString data = *std::exchange(self->m_pendingExport, std::nullopt);
                    self->loadWebViewFullScreen(data);
                    self->loadWebViewShare(data, serial);
                },
                kExportPaintPatienceMs);
        }
    });
}

void ViewerLoader::recallOrganisationShown()
{
    // The page keeps the data it was handed with its history step; an organisation's exports
    // are drawn from that data, so the loader learns which one is back on screen.
    const QPointer<ViewerLoader> self(this);
    m_webView.evaluate(QStringLiteral("window.history.state && window.history.state.data !== "
                                      "undefined ? String(window.history.state.data) : ''"),
                       [self](const QString &kept) {
                           if (!self || kept.isEmpty())
                               return;
                           for (const auto &[encoded, data] : self->m_organisationsDrawn) {
                               if (encoded == kept)
                                   self->m_organisation = data;
                           }
                       });
}

void ViewerLoader::updateBackForwardStatus()
{
    m_center.post(m_webView.canGoForward() ? command::enableRedo : command::disableRedo);
    const bool back = m_webView.canGoBack();
    m_center.post(back ? command::enableUndo : command::disableUndo);
    diag(QStringLiteral(" CAN GO BACK %1").arg(int(back)));
}

void ViewerLoader::undoAction()
{
    const bool back = m_webView.canGoBack();
    diag(QStringLiteral(" CAN GO BACK %1").arg(int(back)));
    m_center.post(back ? command::enableUndo : command::disableUndo);
    if (back)
        moveInHistory([this] { m_webView.goBack(); });
}

void ViewerLoader::moveInHistory(const std::function<void()> &move)
{
    setPlaceholderShown(false);
    m_organisation.reset();
    // The step may be a whole organisation, which the page draws again from its history.
    beginDrawing(0);
    m_steppingInHistory = true;
    move();
    Q_EMIT webViewPageRequested();
}

void ViewerLoader::moveChart(ChartMove move)
{
    QString call;
    switch (move) {
    case ChartMove::Find:
        call = QStringLiteral("v.openSearch()");
        break;
    case ChartMove::ZoomIn:
        call = QStringLiteral("v.zoomTo(v.zoom() * 1.25)");
        break;
    case ChartMove::ZoomOut:
        call = QStringLiteral("v.zoomTo(v.zoom() / 1.25)");
        break;
    case ChartMove::Fit:
        call = QStringLiteral("v.fit()");
        break;
    }
    m_webView.evaluate(
        QStringLiteral("(function (v) { if (v) { %1; } })(window.plotwellView)").arg(call),
        nullptr);
}

void ViewerLoader::redoAction()
{
    const bool forward = m_webView.canGoForward();
    diag(QStringLiteral(" CAN GO FOWARD %1").arg(int(forward)));
    m_center.post(forward ? command::enableRedo : command::disableRedo);
    if (forward)
        moveInHistory([this] { m_webView.goForward(); });
}

} // namespace plotwell
