#pragma once

#include "platform/ChartPictures.h"

#include <QObject>

namespace plotwell {

/// Pictures of WebEngineChartViewer pages: QWidget::grab once the page has painted, and
/// QWebEnginePage::printToPdf. The viewers' widgets must be shown (an off-screen window will
/// do): a hidden web view paints nothing.
class WebEngineChartPictures final : public QObject, public ChartPictures
{
public:
    explicit WebEngineChartPictures(QObject *parent = nullptr);

    [[nodiscard]] QSizeF viewerSize(const ChartViewer &viewer) const override;
    void takePicture(ChartViewer &viewer, double scale, ImageDone done) override;
    void printToPdf(ChartViewer &viewer, PdfDone done) override;

    /// Longest wait for a page to load and paint before a picture is given up.
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

private:
    int m_timeoutMs = 30000;
};

} // namespace plotwell
