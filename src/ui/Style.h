#pragma once

#include <QByteArray>
#include <QColor>
#include <QPalette>
#include <QString>

class QApplication;
class QWebEngineView;

namespace plotwell {

enum class PaletteMode { Light, Dark };

/// Light or dark: PLOTWELL_PALETTE ("light" or "dark") when it says, else a GTK theme named
/// with ":dark", else whichever the desktop's palette is (dark when its text is lighter than its
/// windows).
[[nodiscard]] PaletteMode paletteModeFor(const QByteArray &requested, const QByteArray &gtkTheme,
                                         const QPalette &desktop);

/// The window's style sheet in the colours of \a mode.
[[nodiscard]] QString styleSheetFor(PaletteMode mode);

/// \a fusion (Fusion's own palette) in the window's colours for \a mode.
[[nodiscard]] QPalette paletteFor(PaletteMode mode, const QPalette &fusion);

/// The application's look: Fusion in the light or dark palette that the desktop asks for, and
/// the window's own style sheet in the same colours.
void applyAppStyle(QApplication &app);

/// The mode applyAppStyle chose (light before it runs).
[[nodiscard]] PaletteMode appPaletteMode();

/// The colour around the chart page and behind a page that has not painted yet.
[[nodiscard]] QColor surroundColour();

/// Gives the visible viewer the window's surround: its background before a page paints, and,
/// in the dark palette, a mark on every page it loads (`data-surround="dark"` on the root
/// element) that the chart page and the table preview style their surround by. The chart keeps
/// its own colours, as exports draw it.
void useWindowSurround(QWebEngineView &view);

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

/// \a chromiumFlags with the script engine's garbage collector open to the page, unless the
/// engine's flags are given already: the page collects between batches of a large organisation's
/// printed sheets, which otherwise pile up past a gigabyte before the engine gets round to it.
[[nodiscard]] QByteArray withPageGarbageCollection(const QByteArray &chromiumFlags);

/// Puts withPageGarbageCollection into the environment; call before the application exists.
void exposeGarbageCollectionToPage();

} // namespace plotwell
