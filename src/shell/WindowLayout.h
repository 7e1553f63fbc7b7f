#pragma once

#include <QRectF>

namespace plotwell {

/// Frames of the main view's parts for one window size, in the main view's top-down
/// coordinates. The x positions and widths follow the window width W the delegate records;
/// the heights fill the main view below its header strip.
struct WindowLayout
{
    QRectF toolbarView; // header strip with the view's own buttons
    QRectF chartTitleView;
    bool chartTitleVisible = true;
    QRectF scrollView; // the grid column; a 1-point sliver while hidden
    bool gridVisible = true;
    QRectF webView;
    QRectF progressView;         // lies over webView
    QRectF innerProgressView;    // the card, in the progress view's coordinates
    int htmlWidth = 0;           // width offered to the table previews
    double placeholderWidth = 0; // width of the placeholder page's text column
};

inline constexpr double kHeaderHeight = 44;
inline constexpr double kContentTop = 52;
inline constexpr double kChartTitleHeight = 45;
inline constexpr double kBottomMargin = 12;

/// The layout pass's geometry for a window \a windowWidth wide whose main view is
/// \a viewHeight high, with the grid shown or hidden.
[[nodiscard]] WindowLayout computeWindowLayout(double windowWidth, double viewHeight,
                                               bool gridShown);

/// Where the full-screen viewer and its exit button go: the viewer is as large as the last
/// screen's visible frame (30 points taller) and centred in the main view.
struct FullScreenLayout
{
    QRectF webViewL;
    QRectF exitButton;
};

[[nodiscard]] FullScreenLayout computeFullScreenLayout(QSizeF screen, QSizeF view);

} // namespace plotwell
