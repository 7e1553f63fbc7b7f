#include "platform/qt/WebEngineChartViewer.h"

#include "render/PageRequest.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>
#include <utility>

namespace plotwell {

namespace {

/// A history move that neither starts a load nor changes the address (two steps with one
/// address) is over once the page had a moment to draw it.
constexpr int kHistoryMoveWaitMs = 1000;
/// How often the viewer asks whether the page has painted: often at first, when the answer
/// holds other work up, and seldom once the wait is a long one (a large drawing, or a window
/// that is not on screen).
constexpr int kPaintPollMs = 8;
constexpr int kLongPaintPollMs = 100;
constexpr int kLongPaintWaitMs = 300;

QUrl pageOf(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment);
}

} // namespace

void keepOffScreen(QWebEngineView &view)
{
    view.setAttribute(Qt::WA_DontShowOnScreen);
    QObject::connect(&view, &QWebEngineView::loadStarted, &view, [&view] { view.show(); });
}

WebEngineChartViewer::WebEngineChartViewer(QWebEngineView *view, QObject *parent)
    : ChartViewer(parent), m_view(view)
{
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        // The end of a load that a newer one cut short leaves the newer one going.
        const bool newerGoing = m_view->page()->isLoading();
        if (ok && !newerGoing && !m_drawScript.isEmpty()) {
            // The page waits for its data; it draws once the script hands it over, and only
            // then is the load over.
            const QString script = std::exchange(m_drawScript, QString());
            const quint64 serial = m_loadSerial;
            m_view->page()->runJavaScript(script, [this, serial](const QVariant &drawn) {
                if (serial == m_loadSerial)
                    finished(drawn.toBool());
            });
            return;
        }
        m_loading = newerGoing;
        m_succeeded = ok;
        Q_EMIT loadFinished(ok);
    });
    // A history move to another page is a load like any other; a move within the page changes
    // only the address, and the page has drawn the step by the time the engine reports it: an
    // answer to a script sent then comes after the drawing.
    connect(m_view, &QWebEngineView::loadStarted, this, [this] { m_awaitingHistoryMove = false; });
    connect(m_view, &QWebEngineView::urlChanged, this, [this] {
        if (!std::exchange(m_awaitingHistoryMove, false))
            return;
        const quint64 serial = m_loadSerial;
        m_view->page()->runJavaScript(QStringLiteral("true"), [this, serial](const QVariant &) {
            if (serial == m_loadSerial)
                finished(true);
        });
    });
}

void WebEngineChartViewer::started()
{
    // Watched from the first load, which makes the page anyway: made sooner, an export viewer's
    // page would cost its start-up at launch.
    if (!std::exchange(m_watchingProcess, true)) {
        connect(m_view->page(), &QWebEnginePage::renderProcessTerminated, this, [this] {
            // A page process that dies (out of memory with a huge chart, a crash) ends the load
            // it was on, which would otherwise never finish; and the next chart is loaded
            // afresh, for the page it would be drawn in is gone.
            m_succeeded = false;
            if (!m_loading)
                return;
            m_drawScript.clear();
            ++m_loadSerial;
            finished(false);
        });
    }
    m_loading = true;
    m_started = true;
    m_awaitingHistoryMove = false;
    m_drawScript.clear();
    ++m_loadSerial;
}

void WebEngineChartViewer::finished(bool ok)
{
    m_loading = false;
    m_succeeded = ok;
    Q_EMIT loadFinished(ok);
}

void WebEngineChartViewer::load(const QUrl &url)
{
    if (url.toEncoded().size() > kLongestAddress && url.hasQuery()) {
        const ScriptedRequest scripted = scriptedRequest(url);
        loadThenRun(scripted.page, scripted.script);
        return;
    }
    if (canDrawInPlace(url)) {
        drawInPlace(url, false);
        return;
    }
    started();
    m_view->load(url);
}

void WebEngineChartViewer::replace(const QUrl &url)
{
    if (canDrawInPlace(url)) {
        drawInPlace(url, true);
        return;
    }
    started();
    loadInPlaceOfPage(url);
}

void WebEngineChartViewer::loadInPlaceOfPage(const QUrl &url)
{
    m_view->page()->runJavaScript(
        QStringLiteral("location.replace(%1)").arg(scriptString(url.toString(QUrl::FullyEncoded))));
}

bool WebEngineChartViewer::canDrawInPlace(const QUrl &url) const
{
    // Only in a chart page that finished its load, and not while the engine moves elsewhere.
    const QUrl shown = m_view->url();
    return m_drawsInPlace && m_succeeded && !m_awaitingHistoryMove &&
           !m_view->page()->isLoading() && shown.isLocalFile() && url.isLocalFile() &&
           pageOf(shown) == pageOf(url);
}

void WebEngineChartViewer::drawInPlace(const QUrl &url, bool replace)
{
    started();
    const quint64 serial = m_loadSerial;
    const QString script =
        QStringLiteral(
            "window.Orgchart && Orgchart.stepTo ? Orgchart.stepTo(%1, %2) === true : false")
            .arg(scriptString(url.toString(QUrl::FullyEncoded)),
                 replace ? QStringLiteral("true") : QStringLiteral("false"));
    m_view->page()->runJavaScript(script, [this, serial, url, replace](const QVariant &drawn) {
        if (serial != m_loadSerial)
            return;
        if (drawn.toBool()) {
            finished(true);
            return;
        }
        // A page that cannot draw the step (an older page, a script error) is loaded instead.
        if (replace)
            loadInPlaceOfPage(url);
        else
            m_view->load(url);
    });
}

void WebEngineChartViewer::loadThenRun(const QUrl &url, const QString &script)
{
    started();
    m_drawScript = script;
    m_view->load(url);
}

void WebEngineChartViewer::loadHtml(const QString &html)
{
    started();
    m_view->setHtml(html);
}

void WebEngineChartViewer::evaluate(const QString &script,
                                    std::function<void(const QString &)> done)
{
    m_view->page()->runJavaScript(script, [done = std::move(done)](const QVariant &result) {
        if (done)
            done(result.toString());
    });
}

void WebEngineChartViewer::whenPainted(std::function<void()> done, int patienceMs)
{
    // The page marks the frame after its next one; the viewer asks for the mark.
    m_view->page()->runJavaScript(
        QStringLiteral("window.plotwellPainted = false; requestAnimationFrame(function () {"
                       " setTimeout(function () { window.plotwellPainted = true; }); });"));
    auto *poll = new QTimer(this);
    poll->setInterval(kPaintPollMs);
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    // One question at a time: a page busy for seconds (a large drawing) would otherwise find
    // hundreds of them waiting once it is free.
    auto asking = std::make_shared<bool>(false);
    const auto finish = [poll, done = std::move(done)] {
        if (!poll->isActive())
            return;
        poll->stop();
        poll->deleteLater();
        done();
    };
    connect(poll, &QTimer::timeout, this, [this, poll, waited, asking, patienceMs, finish] {
        if (waited->elapsed() > patienceMs) {
            finish();
            return;
        }
        if (waited->elapsed() > kLongPaintWaitMs)
            poll->setInterval(kLongPaintPollMs);
        if (std::exchange(*asking, true))
            return;
        m_view->page()->runJavaScript(
            QStringLiteral("window.plotwellPainted === true"),
            [poll = QPointer<QTimer>(poll), asking, finish](const QVariant &painted) {
                *asking = false;
                if (poll && painted.toBool())
                    finish();
            });
    });
    poll->start();
}

bool WebEngineChartViewer::canGoBack() const
{
    return m_view->history()->canGoBack();
}

bool WebEngineChartViewer::canGoForward() const
{
    return m_view->history()->canGoForward();
}

void WebEngineChartViewer::goBack()
{
    if (!canGoBack())
        return;
    if (m_drawsInPlace) {
        stepInHistory(-1);
        return;
    }
    started();
    m_view->back();
}

void WebEngineChartViewer::goForward()
{
    if (!canGoForward())
        return;
    if (m_drawsInPlace) {
        stepInHistory(1);
        return;
    }
    started();
    m_view->forward();
}

void WebEngineChartViewer::stepInHistory(int offset)
{
    started();
    m_awaitingHistoryMove = true;
    const quint64 serial = m_loadSerial;
    m_view->page()->runJavaScript(QStringLiteral("history.go(%1)").arg(offset));
    QTimer::singleShot(kHistoryMoveWaitMs, this, [this, serial] {
        if (serial == m_loadSerial && std::exchange(m_awaitingHistoryMove, false))
            finished(true);
    });
}

QUrl WebEngineChartViewer::currentUrl() const
{
    return m_view->url();
}

} // namespace plotwell
