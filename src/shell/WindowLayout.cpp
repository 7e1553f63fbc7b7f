#include "shell/WindowLayout.h"

#include <algorithm>

namespace plotwell {

WindowLayout computeWindowLayout(double windowWidth, double viewHeight, bool gridShown)
{
    const double W = windowWidth;
    const double contentHeight = std::max(0.0, viewHeight - kContentTop - kBottomMargin);

    WindowLayout layout;
    layout.toolbarView = QRectF(0, 0, W + 20, kHeaderHeight);
    if (gridShown) {
        layout.chartTitleView = QRectF(3, kContentTop, 346, kChartTitleHeight);
        layout.chartTitleVisible = true;
        const double gridTop = kContentTop + kChartTitleHeight + 4;
        layout.scrollView =
            QRectF(12, gridTop, 365, std::max(0.0, viewHeight - gridTop - kBottomMargin));
        layout.gridVisible = true;
        layout.webView = QRectF(385, kContentTop, W - 400, contentHeight);
        layout.htmlWidth = int(W - 415);
        layout.placeholderWidth = W - 400;
    } else {
        layout.chartTitleVisible = false;
        layout.scrollView = QRectF(55, kContentTop, 1, contentHeight);
        layout.gridVisible = false;
        layout.webView = QRectF(12, kContentTop, W - 22, contentHeight);
        layout.htmlWidth = int(W - 35);
        layout.placeholderWidth = W - 22;
    }
    layout.progressView = layout.webView;
    const QSizeF card(std::min(360.0, layout.webView.width() - 24), 96);
    layout.innerProgressView = QRectF(QPointF((layout.webView.width() - card.width()) / 2,
                                              (layout.webView.height() - card.height()) / 2),
                                      card);
    return layout;
}

FullScreenLayout computeFullScreenLayout(QSizeF screen, QSizeF view)
{
    FullScreenLayout layout;
    const QSizeF size(screen.width(), screen.height() + 30);
    layout.webViewL = QRectF(
        QPointF((view.width() - size.width()) * 0.5, (view.height() - size.height()) * 0.5), size);
    layout.exitButton = QRectF(screen.width() - 150, 550, 150, 50);
    return layout;
}

} // namespace plotwell
