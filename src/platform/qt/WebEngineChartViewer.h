#pragma once

#include "platform/ChartViewer.h"

#include <QString>

class QWebEngineView;

namespace plotwell {

/// A chart viewer on a QWebEngineView. The view is owned by whoever shows it. A chart request
/// longer than kLongestAddress goes the scripted route (scriptedRequest()); loadFinished() follows
/// the drawing.
class WebEngineChartViewer final : public ChartViewer
{
    Q_OBJECT
public:
    explicit WebEngineChartViewer(QWebEngineView *view, QObject *parent = nullptr);

    [[nodiscard]] QWebEngineView *view() const { return m_view; }

    void load(const QUrl &url) override;
    void loadThenRun(const QUrl &url, const QString &script) override;
    void loadHtml(const QString &html) override;
    void evaluate(const QString &script, std::function<void(const QString &)> done) override;
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

private:
    void started();

    QWebEngineView *m_view;
    bool m_loading = false;
    bool m_started = false;
    bool m_succeeded = false;
    QString m_drawScript;
    quint64 m_loadSerial = 0;
};

} // namespace plotwell
