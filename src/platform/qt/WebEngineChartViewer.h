#pragma once

#include "platform/ChartViewer.h"

class QWebEngineView;

namespace plotwell {

/// A chart viewer on a QWebEngineView. The view is owned by whoever shows it.
class WebEngineChartViewer final : public ChartViewer
{
    Q_OBJECT
public:
    explicit WebEngineChartViewer(QWebEngineView *view, QObject *parent = nullptr);

    [[nodiscard]] QWebEngineView *view() const { return m_view; }

    void load(const QUrl &url) override;
    void loadHtml(const QString &html) override;
    void evaluate(const QString &script, std::function<void(const QString &)> done) override;
    [[nodiscard]] bool canGoBack() const override;
    [[nodiscard]] bool canGoForward() const override;
    void goBack() override;
    void goForward() override;
    [[nodiscard]] QUrl currentUrl() const override;

private:
    QWebEngineView *m_view;
};

} // namespace plotwell
