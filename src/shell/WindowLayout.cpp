#include "shell/WindowLayout.h"

#include <algorithm>
#include <cmath>

namespace plotwell {

double defaultSideBarWidth(double windowWidth)
{
    return std::clamp(std::floor(windowWidth * 0.4), 380.0, 600.0);
}

double sideBarWidthFor(double windowWidth, double wanted)
{
    const double width = wanted > 0 ? wanted : defaultSideBarWidth(windowWidth);
    const double widest = std::max(kMinSideBarWidth, windowWidth - 35 - kMinViewerWidth);
    return std::clamp(width, kMinSideBarWidth, widest);
}

WindowLayout computeWindowLayout(double windowWidth, double viewHeight, bool gridShown,
                                 double sideBarWidth)
{
    const double W = windowWidth;
    const double contentHeight = std::max(0.0, viewHeight - kContentTop - kBottomMargin);

    WindowLayout layout;
    layout.toolbarView = QRectF(0, 0, W + 20, kHeaderHeight);
    if (gridShown) {
        const double S = sideBarWidthFor(W, sideBarWidth);
        layout.chartTitleView = QRectF(12, kContentTop, S, kChartTitleHeight);
        layout.chartTitleVisible = true;
        const double gridTop = kContentTop + kChartTitleHeight + 4;
        layout.scrollView =
            QRectF(12, gridTop, S, std::max(0.0, viewHeight - gridTop - kBottomMargin));
        layout.gridVisible = true;
        const double viewerLeft = 12 + S + kSideGap;
        layout.webView = QRectF(viewerLeft, kContentTop, W - 15 - viewerLeft, contentHeight);
        layout.htmlWidth = int(layout.webView.width() - 15);
    } else {
        layout.chartTitleVisible = false;
        layout.scrollView = QRectF(55, kContentTop, 1, contentHeight);
        layout.gridVisible = false;
        layout.webView = QRectF(12, kContentTop, W - 22, contentHeight);
        layout.htmlWidth = int(W - 35);
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
