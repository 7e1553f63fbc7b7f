#pragma once

#include <QByteArray>

class QApplication;

namespace plotwell {

/// The application's look: Fusion with a light palette and the window's own style sheet.
void applyAppStyle(QApplication &app);

/// The web engine's command-line flags with scroll bars that are drawn over the page and show
/// only while it scrolls. The viewer's pages are laid out to the viewer's exact width (the
/// placeholder, the table preview), so a classic scroll bar would appear for a body margin.
/// Features the flags already enable are kept.
QByteArray withOverlayScrollBars(const QByteArray &chromiumFlags);

/// Puts withOverlayScrollBars into the environment; call before the application exists.
void useOverlayScrollBars();

/// \a chromiumFlags with Chromium's own log lines (GPU fallbacks and the like, written to
/// standard error) limited to fatal ones, unless a log level is given already.
[[nodiscard]] QByteArray withQuietChromium(const QByteArray &chromiumFlags);

/// Puts withQuietChromium into the environment unless \a verbose; call before the first web
/// view exists.
void quietChromiumUnlessVerbose(bool verbose);

} // namespace plotwell
