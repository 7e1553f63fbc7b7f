#pragma once

#include "platform/ChartViewer.h"

#include <QString>

class QWebEngineView;

namespace plotwell {

/// Makes \a view a window that paints but never appears on the desktop, shown with its first
/// page: shown before it has one, the engine maps its window onto the desktop all the same.
void keepOffScreen(QWebEngineView &view);

/// A chart viewer on a QWebEngineView. The view is owned by whoever shows it. A chart request
/// longer than kLongestAddress goes the scripted route (scriptedRequest()); loadFinished() follows
/// the drawing. A viewer that draws in place (the one on screen) draws the next chart in the chart
/// page it shows, by script, instead of loading the page again: its address and history are
/// those a load would leave, and a render costs a fraction of a load.
class WebEngineChartViewer final : public ChartViewer
{
    Q_OBJECT
public:
    explicit WebEngineChartViewer(QWebEngineView *view, QObject *parent = nullptr);

    [[nodiscard]] QWebEngineView *view() const { return m_view; }

    void load(const QUrl &url) override;
    void replace(const QUrl &url) override;
    void loadThenRun(const QUrl &url, const QString &script) override;
    void loadHtml(const QString &html) override;
    void evaluate(const QString &script, std::function<void(const QString &)> done) override;
    void whenPainted(std::function<void()> done, int patienceMs) override;
    [[nodiscard]] bool canGoBack() const override;
    [[nodiscard]] bool canGoForward() const override;
    void goBack() override;
    void goForward() override;
    [[nodiscard]] QUrl currentUrl() const override;

    /// True from a load (or a history move) until its loadFinished().
    [[nodiscard]] bool isLoading() const { return m_loading; }
    /// Whether any page was ever loaded into the view.
    [[nodiscard]] bool hasLoaded() const { return m_started; }
    /// Whether the last load that ended showed its page (and not an error page).
    [[nodiscard]] bool lastLoadSucceeded() const { return m_succeeded; }

    void setDrawsInPlace(bool inPlace) { m_drawsInPlace = inPlace; }

private:
    void started();
    void finished(bool ok);
    /// Whether \a url can be drawn in the page on show rather than loaded.
    [[nodiscard]] bool canDrawInPlace(const QUrl &url) const;
    void drawInPlace(const QUrl &url, bool replace);
    /// Loads \a url as the page's own step of the history, the one on show now.
    void loadInPlaceOfPage(const QUrl &url);
    /// Moves \a offset steps in the history from the page itself: the engine's own back and
    /// forward skip the steps a page added without a click in it, which every drawn-in-place
    /// chart is.
    void stepInHistory(int offset);

    QWebEngineView *m_view;
    bool m_loading = false;
    bool m_started = false;
    bool m_succeeded = false;
    bool m_drawsInPlace = false;
    /// A history move asked of the page: until the engine starts a load (another page) or the
    /// address changes (a step within the page, drawn by the page as it happens).
    bool m_awaitingHistoryMove = false;
    bool m_watchingProcess = false;
    QString m_drawScript;
    quint64 m_loadSerial = 0;
};

} // namespace plotwell
