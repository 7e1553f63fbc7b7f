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
    QRectF progressView;      // lies over webView
    QRectF innerProgressView; // the card, in the progress view's coordinates
    int htmlWidth = 0;        // width offered to the table previews
};

inline constexpr double kHeaderHeight = 44;
inline constexpr double kContentTop = 52;
inline constexpr double kChartTitleHeight = 34;
inline constexpr double kSideGap = 8; // between the sidebar and the viewer: the splitter handle
inline constexpr double kBottomMargin = 12;

inline constexpr double kMinSideBarWidth = 300;
inline constexpr double kMinViewerWidth = 360;

/// The sidebar's width when the user has not chosen one: 40 % of the window, so that
/// titles read in full on a wide window, within bounds that keep both sides usable.
[[nodiscard]] double defaultSideBarWidth(double windowWidth);

/// \a wanted (the width the user dragged the sidebar to, or 0 for the default) kept within
/// what a window \a windowWidth wide leaves for the chart.
[[nodiscard]] double sideBarWidthFor(double windowWidth, double wanted);

/// The layout pass's geometry for a window \a windowWidth wide whose main view is
/// \a viewHeight high, with the grid shown or hidden; the sidebar is \a sideBarWidth wide (0
/// for the default), within the bounds of sideBarWidthFor().
[[nodiscard]] WindowLayout computeWindowLayout(double windowWidth, double viewHeight,
                                               bool gridShown, double sideBarWidth = 0);

/// Where the full-screen viewer and its exit button go: the viewer is as large as the last
/// screen's visible frame (30 points taller) and centred in the main view.
struct FullScreenLayout
{
    QRectF webViewL;
    QRectF exitButton;
};

[[nodiscard]] FullScreenLayout computeFullScreenLayout(QSizeF screen, QSizeF view);

} // namespace plotwell
