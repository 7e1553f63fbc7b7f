#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace plotwell {

/// The shared string properties that the application delegate keeps for handlers on both
/// sides of the window. Flags are the texts "YES" and "NO" and numbers are decimal text,
/// compared as text, because stored documents and the command handlers rely on those forms.
/// Everything lives on the main thread.
struct AppState
{
    // The chart title the page request carries; unset until the first render or sample.
    std::optional<QString> chartTitle;

    // Appearance, sent with every page request.
    QString fStyle = QStringLiteral("Optima");
    QString fSize = QStringLiteral("14");
    QString nSize = QStringLiteral("0");
    QString nRadius = QStringLiteral("3");
    QString multiColorStatus = QStringLiteral("1");

    // Progress of a running file conversion, published by the progress display.
    QString barValue = QStringLiteral("0");

    // Documents.
    QString saveAsUsed = QStringLiteral("NO");
    QString openRecent = QStringLiteral("NO");
    std::optional<QString> saveUrl; // unset until a save panel or a reset sets it
    std::optional<QString> fileUrl; // the last imported file
    QString colorString;
    QString positionString;
    bool openDoubleClicked = false;
    QString doubleClickedUrl;

    // Window.
    int hideGrd = 0;
    int hideSideBar = 0;
    QString winWidth = QStringLiteral("0.000000");
    QString winHeight = QStringLiteral("0.000000");

    // Item picker.
    QString btSender;
    QStringList theParents;
    QStringList searchArray;
    bool searching = false;

    /// `barValue` read as an integer the way the refresh gate reads it: leading white space, an
    /// optional sign, then the digits up to the first other character ("12abc" is 12); text
    /// without leading digits counts as 0.
    [[nodiscard]] int barValueNumber() const
    {
        const QString text = barValue.trimmed();
        qsizetype end = 0;
        if (end < text.size() && (text[end] == u'-' || text[end] == u'+'))
            ++end;
        while (end < text.size() && text[end].isDigit() && text[end].unicode() < 128)
            ++end;
        return text.left(end).toInt();
    }

    /// True while a file conversion reports 1..94 percent: refreshes wait until it is done.
    [[nodiscard]] bool conversionRunning() const
    {
        const int value = barValueNumber();
        return value >= 1 && value <= 94;
    }
};

/// The refresh request that follows an appearance change or a colour pick: while a file
/// conversion reports 1..94 percent it waits (false); otherwise it marks the reopen in
/// `openRecent` and the caller posts `openRecentDocument` (true).
[[nodiscard]] bool prepareRefreshRequest(AppState &state);

} // namespace plotwell
