#include "platform/qt/WebEngineChartViewer.h"

#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace plotwell {

WebEngineChartViewer::WebEngineChartViewer(QWebEngineView *view, QObject *parent)
    : ChartViewer(parent), m_view(view)
{
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        // The end of a load that a newer one cut short leaves the newer one going.
        m_loading = m_view->page()->isLoading();
        m_succeeded = ok;
        Q_EMIT loadFinished(ok);
    });
}

void WebEngineChartViewer::started()
{
    m_loading = true;
    m_started = true;
}

void WebEngineChartViewer::load(const QUrl &url)
{
    started();
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
