#pragma once

#include "base/ChartAppearance.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace plotwell {

/// The shared properties that the application delegate keeps for handlers on both sides of
/// the window. Everything lives on the main thread.
struct AppState
{
    // The chart title the page request carries; unset until the first render or sample.
    std::optional<QString> chartTitle;

    // Sent with every page request.
    ChartAppearance appearance;

    // Percent done of a running file conversion, published by the progress display.
    int barValue = 0;

    // Documents.
    bool saveAsUsed = false;        // the save in progress came from Save As
    bool openRecent = false;        // the open in progress is a refresh of the file already open
    std::optional<QString> saveUrl; // unset until a save panel or a reset sets it
    std::optional<QString> fileUrl; // the last imported file
    QString colorString;
    QString positionString;
    bool openDoubleClicked = false;
    QString doubleClickedUrl;

    // Window.
    int hideGrd = 0;
    int hideSideBar = 0;
    double winWidth = 0;
    double winHeight = 0;

    // Item picker.
    QString btSender;
    QStringList theParents;
    QStringList searchArray;
    bool searching = false;

    /// True while a file conversion reports 1..94 percent: refreshes wait until it is done.
    [[nodiscard]] bool conversionRunning() const { return barValue >= 1 && barValue <= 94; }
};

/// The refresh request that follows an appearance change or a colour pick: while a file
/// conversion reports 1..94 percent it waits (false); otherwise it marks the reopen in
/// `openRecent` and the caller posts `openRecentDocument` (true).
[[nodiscard]] bool prepareRefreshRequest(AppState &state);

} // namespace plotwell
