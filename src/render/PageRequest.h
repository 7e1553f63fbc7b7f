#pragma once

#include "base/AppState.h"
#include "model/ChartGrid.h"

#include <QString>
#include <QUrl>

namespace plotwell {

/// The character filter every page request passes through. What it once deleted (accented Latin
/// letters, the Chinese and pinyin spellings of the letters A-Z, typographic quotes, dashes,
/// currency signs, apostrophes, commas, "`", "{", "}", "[", "]", "|", "\", "%" and "^") is written
/// as "~u" + hexadecimal code + "~", which the page decodes; every other text passes unchanged.
[[nodiscard]] QString lang(const QString &text);

/// The chart page's address up to its data: the resource folder, "/", "orgchart.html?data=".
[[nodiscard]] QString chartPageAddress();

/// Every query value but the data string and the sizes, ready for the templates.
struct RequestSettings
{
    QString pageAddress;
    QString ctype;
    QString xaxis;
    QString yaxis;
    QString ctitle;
    QString labelcolor;
    QString backcolor;
    QString itemcolor;
    QString linecolor;
    QString font;
    QString fsize;
    QString nsize;
    QString rsize;
    QString mcstate;
};

/// Reads the settings from the grid and the shared state: the labels and the chart title sent
/// with spaces as "+", the four chart-wide colours without "#". In every value "~", "+", "&" and
/// "=" become "~tilde~", "~plus~", "~amp~" and "~eq~", so that no typed text or setting (a font
/// name) can cut the query short or set another key, and the page reads back what was typed.
[[nodiscard]] RequestSettings gatherRequestSettings(const ChartGrid &grid, const AppState &state,
                                                    const QString &pageAddress);
[[nodiscard]] RequestSettings gatherRequestSettings(const ChartGrid &grid, const AppState &state);

/// The three requests, the text after the page address filtered: the visible viewer's, the hidden
/// export viewer's with the size of the page shown before, and the full-screen viewer's with the
/// screen's size (margin 50).
[[nodiscard]] QString viewerRequest(const RequestSettings &settings, const QString &data);
[[nodiscard]] QString exportRequest(const RequestSettings &settings, const QString &data,
                                    double width, double height);
[[nodiscard]] QString fullScreenRequest(const RequestSettings &settings, const QString &data,
                                        double width, double height);

/// The longest address the engine is given: Chromium refuses one of 2 MiB and shows nothing.
inline constexpr qsizetype kLongestAddress = 2'000'000;

/// A chart request split for the one route by which a page gets what an address cannot carry
/// (long titles in many rows, a large organisation): \a page is its address without the data and
/// with "pending=1", so the page waits instead of drawing, and \a script draws the data (as the
/// request had it) once the page has loaded (ChartViewer::loadThenRun()).
struct ScriptedRequest
{
    QUrl page;
    QString data;
    QString script;
};
/// \a request split so; \a options is a script object literal of the page's drawing options
/// (e.g. "{still: true}" for a file) or empty. The script evaluates to the size drawn.
[[nodiscard]] ScriptedRequest scriptedRequest(const QUrl &request,
                                              const QString &options = QString());

/// \a text as a script string literal, quoted and escaped.
[[nodiscard]] QString scriptString(const QString &text);

/// The script that draws \a data on a page loaded with "pending=1" (or draws it again there with
/// other \a options). Evaluates to the size drawn, "width height".
[[nodiscard]] QString drawDataScript(const QString &data, const QString &options = QString());

/// The file URL of a filtered request. Everything the filter let through reaches the page:
/// what a URL cannot carry literally (spaces, quotation marks, "#", line breaks, letters outside
/// ASCII) is percent-encoded, while "&", "=" and "?" stay separators.
[[nodiscard]] QUrl requestUrl(const QString &filtered);

/// The scripts that ask the chart page for its document size.
inline const QString kScrollWidthScript = QStringLiteral("document.documentElement.scrollWidth");
inline const QString kScrollHeightScript = QStringLiteral("document.documentElement.scrollHeight");

/// A size script's answer read as a number: its leading decimal number, 0 when there is none.
[[nodiscard]] double sizeFromScriptResult(const QString &result);

/// The page the viewer shows while the grid has no items: the chart page with no chart in its
/// address, so that the first render draws in the page already loaded instead of loading one.
[[nodiscard]] QUrl placeholderUrl();

} // namespace plotwell
