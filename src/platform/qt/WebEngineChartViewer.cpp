#include "platform/qt/WebEngineChartViewer.h"

#include "render/PageRequest.h"

#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <utility>

namespace plotwell {

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
                if (serial != m_loadSerial)
                    return;
                m_loading = false;
                m_succeeded = drawn.toBool();
                Q_EMIT loadFinished(m_succeeded);
            });
            return;
        }
        m_loading = newerGoing;
        m_succeeded = ok;
        Q_EMIT loadFinished(ok);
    });
}

void WebEngineChartViewer::started()
{
    m_loading = true;
    m_started = true;
    m_drawScript.clear();
    ++m_loadSerial;
}

void WebEngineChartViewer::load(const QUrl &url)
{
    if (url.toEncoded().size() > kLongestAddress && url.hasQuery()) {
        const ScriptedRequest scripted = scriptedRequest(url);
        loadThenRun(scripted.page, scripted.script);
        return;
    }
    started();
    m_view->load(url);
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
    if (canGoBack())
        started();
    m_view->back();
}

void WebEngineChartViewer::goForward()
{
    if (canGoForward())
        started();
    m_view->forward();
}

QUrl WebEngineChartViewer::currentUrl() const
{
    return m_view->url();
}

} // namespace plotwell
