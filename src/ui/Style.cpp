#include "ui/Style.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleFactory>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include <array>
#include <initializer_list>
#include <utility>

namespace plotwell {

namespace {

/// The colours the style sheet names with "@name", for each palette. Pairs of text and
/// surface keep a contrast of at least 4.5:1 in both.
class ThemeColours
{
public:
    constexpr ThemeColours(std::initializer_list<std::pair<const char *, const char *>> colours)
    {
        for (const auto &[name, value] : colours)
            m_colours.at(std::size_t(m_size++)) = {name, value};
    }
    [[nodiscard]] const char *value(QStringView name) const
    {
        for (qsizetype i = 0; i < m_size; ++i) {
            if (name == QLatin1String(m_colours[i].first))
                return m_colours[i].second;
        }
        qFatal("The style sheet names a colour no palette has: %s", qPrintable(name.toString()));
    }
    [[nodiscard]] const char *value(const char *name) const
    {
        return value(QString::fromLatin1(name));
    }

private:
    std::array<std::pair<const char *, const char *>, 48> m_colours{};
    qsizetype m_size = 0;
};

const ThemeColours kLightColours = {
    {"window", "#eef1f5"},
    {"raised", "#f8f9fb"},
    {"panel", "#ffffff"},
    {"header", "#f3f5f8"},
    {"rowAlt", "#fafbfc"},
    {"rowRule", "#eef1f4"},
    {"rule", "#d9dee5"},
    {"line", "#d5dbe3"},
    {"field", "#cfd6df"},
    {"fieldHover", "#9fb3cc"},
    {"hover", "#e6ebf1"},
    {"handle", "#c3cbd5"},
    {"handleHover", "#a9b4c1"},
    {"text", "#1f2933"},
    {"textStrong", "#27313d"},
    {"textSoft", "#4a5562"},
    {"textMuted", "#5f6a79"},
    {"textFaint", "#6f7a89"},
    {"disabled", "#a7b0bb"},
    {"accent", "#418cf0"},
    {"accentText", "#2a66c4"},
    {"accentDeep", "#192cee"},
    {"accentSoft", "#eef4fe"},
    {"accentSofter", "#dfeafd"},
    {"accentLine", "#c9dcfb"},
    {"pickerEntry", "#192cee"},
    {"accentFill", "#2f74d6"},
    {"accentFillLine", "#2a68c4"},
    {"accentFillHover", "#3b80e0"},
    {"pickerFace", "#ffffff"},
    {"positionFace", "#f8f9fb"},
    {"positionFaceHover", "#eef4fe"},
    {"currentRow", "#e8f0fd"},
    {"warnPanel", "#fff8e6"},
    {"warnLine", "#f0d9a0"},
    {"warnTitle", "#8a5a00"},
    {"warnText", "#5c3d00"},
};

const ThemeColours kDarkColours = {
    {"window", "#1d2126"},
    {"raised", "#30363e"},
    {"panel", "#262b31"},
    {"header", "#2d333a"},
    {"rowAlt", "#2a2f36"},
    {"rowRule", "#31373f"},
    {"rule", "#3a414a"},
    {"line", "#464e58"},
    {"field", "#4a525d"},
    {"fieldHover", "#6b7c91"},
    {"hover", "#363d46"},
    {"handle", "#505a66"},
    {"handleHover", "#67727f"},
    {"text", "#e4e9ef"},
    {"textStrong", "#eef2f6"},
    {"textSoft", "#bcc5cf"},
    {"textMuted", "#a4aeba"},
    {"textFaint", "#939daa"},
    {"disabled", "#6c757f"},
    {"accent", "#418cf0"},
    {"accentText", "#8ab8f6"},
    {"accentDeep", "#b4d0ff"},
    {"accentSoft", "#27364b"},
    {"accentSofter", "#2e4260"},
    {"accentLine", "#40587c"},
    {"pickerEntry", "#9cc2f7"},
    {"accentFill", "#2f74d6"},
    {"accentFillLine", "#2a68c4"},
    {"accentFillHover", "#3b80e0"},
    {"pickerFace", "#c3cbd5"},
    {"positionFace", "#c3cbd5"},
    {"positionFaceHover", "#d5dbe3"},
    {"currentRow", "#25344a"},
    {"warnPanel", "#332b1c"},
    {"warnLine", "#6b5426"},
    {"warnTitle", "#f0c470"},
    {"warnText", "#f3dcae"},
};

const char *const kStyleSheet = R"(
QMainWindow, #everythingView { background: @window; }
QToolBar#toolbar { background: @raised; border: none; border-bottom: 1px solid @rule; spacing: 2px; padding: 3px 8px; }
QToolBar#toolbar QToolButton { padding: 4px 10px; border-radius: 5px; color: @textStrong; }
QToolBar#toolbar QToolButton:hover { background: @hover; }
QToolBar#toolbar QToolButton:disabled { color: @disabled; }

#toolbarView { background: #2b3644; }
#toolbarView QPushButton { color: #c6e2ff; background: transparent; border: 1px solid rgba(198,226,255,0.35);
    border-radius: 6px; padding: 5px 14px; font-weight: 600; }
#toolbarView QPushButton:hover { background: rgba(255,255,255,0.08); }
#toolbarView QPushButton#renderButton { color: white; background: @accentFill; border: 1px solid @accentFillLine; }
#toolbarView QPushButton#renderButton:hover { background: @accentFillHover; }
#toolbarView QPushButton#hideButton[gridShown="false"] { color: #00ae00; border-color: rgba(0,174,0,0.6); }
#toolbarView QToolButton { color: #dce4ee; padding: 5px 9px; border-radius: 6px; }
#toolbarView QToolButton:hover { background: rgba(255,255,255,0.10); }
#toolbarView QToolButton#quickHelpButton { color: #7fb0f5; }

#chartTitleView QLabel#fieldLabel { color: @textSoft; font-weight: 600; }
#chartTitleView QLineEdit { font-size: 11pt; padding: 5px 8px; }

QScrollArea#scrollView, #sidebar { background: transparent; }
#settingsPanel { background: @panel; border: 1px solid @rule; border-radius: 8px; }
#settingsPanel QLabel { color: @textSoft; }
QLabel#sectionTitle, QLabel#pageHeader, QLabel#popoverTitle { color: @textMuted; font-weight: 700;
    font-size: 8pt; letter-spacing: 1px; text-transform: uppercase; }
QLabel#pageHeader { padding: 8px 4px 2px 4px; }

#gridView { background: @panel; border: 1px solid @rule; }
#gridHeader { background: @header; border-bottom: 1px solid @rule; }
QLabel#columnTitle { color: @textMuted; font-weight: 700; font-size: 8pt; }
#gridRow { background: @panel; border-bottom: 1px solid @rowRule; }
#gridRow[odd="false"] { background: @rowAlt; }
#gridRow QLineEdit { padding: 1px 4px; border-color: transparent; background: transparent; }
#gridRow QLineEdit:hover { border-color: @line; }
#gridRow QLineEdit:focus { border-color: @accent; background: @panel; }
#gridRow QLineEdit[readOnly="true"] { color: @text; }
#gridRow[current="true"] { background: @currentRow; }
#gridRow QComboBox { padding: 1px 4px; border-color: transparent; background: transparent; min-height: 18px; }
#gridRow QComboBox:hover { border-color: @line; }
#gridRow QComboBox:focus { border-color: @accent; }
#gridRow QComboBox::drop-down { width: 14px; }
#gridRow QComboBox::down-arrow { margin-right: 4px; }
#rowDropMarker { background: @accent; }
#problemsPanel { background: @warnPanel; border-top: 1px solid @warnLine; }
QLabel#problemsTitle { color: @warnTitle; font-weight: 700; font-size: 8pt; }
QListView#problemsList { border: none; background: transparent; color: @warnText; }
#sideTabs::pane { border: none; }
#sideTabs QTabBar::tab { padding: 4px 14px; }
QSplitter#mainSplitter::handle { background: transparent; }
QSplitter#mainSplitter::handle:hover { background: @line; }
#gridRow QLabel#rowNumber { color: @textFaint; font-weight: 700; }
#gridRow QPushButton#selectButton { color: @accentText; background: @accentSoft; border: 1px solid @accentLine;
    border-radius: 5px; padding: 1px 4px; font-size: 8pt; font-weight: 700; }
#gridRow QPushButton#selectButton:hover { background: @accentSofter; }
#gridRow QPushButton#selectButton:focus { border-color: @accent; }
#gridRow QToolButton#pickerButton { border: 1px solid @line; border-radius: 4px; padding: 0 3px; color: @textSoft; }
#gridRow QToolButton#pickerButton:focus { border-color: @accent; }
/* The picker's picture is a dark dropper: on a dark desktop it sits on a light face. */
QToolButton#pickerButton { background: @pickerFace; }

QLineEdit { border: 1px solid @field; border-radius: 5px; padding: 3px 6px; background: @panel;
    selection-background-color: @accentFill; }
QLineEdit:focus { border-color: @accent; }
QLineEdit:disabled { color: @disabled; background: @header; }
QComboBox { border: 1px solid @field; border-radius: 5px; padding: 3px 8px; background: @panel; min-height: 20px; }
QComboBox:hover { border-color: @fieldHover; }
QComboBox::drop-down { border: none; width: 22px; }
QComboBox::down-arrow { image: url(:/ui/icons/chevron-down.svg); width: 10px; height: 6px; margin-right: 8px; }
QComboBox QAbstractItemView { border: 1px solid @field; background: @panel; color: @text;
    selection-background-color: @accentFill; selection-color: white; outline: none; }
QComboBox QAbstractItemView::item { min-height: 22px; padding: 0 6px; color: @text; }
QComboBox QAbstractItemView::item:hover, QComboBox QAbstractItemView::item:selected { background: @accentFill; color: white; }
QScrollBar:vertical { background: transparent; width: 10px; margin: 2px; }
QScrollBar::handle:vertical { background: @handle; border-radius: 3px; min-height: 30px; }
QScrollBar::handle:vertical:hover { background: @handleHover; }
QScrollBar:horizontal { background: transparent; height: 10px; margin: 2px; }
QScrollBar::handle:horizontal { background: @handle; border-radius: 3px; min-width: 30px; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }
QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }

#startScreen { background: @window; }
#startCard { background: @panel; border: 1px solid @line; border-radius: 10px; }
QLabel#startTitle { color: @text; font-size: 14pt; font-weight: 700; }
QLabel#startHint { color: @textSoft; }
QLabel#startDrop { color: @textMuted; padding-top: 6px; }
#startCard QPushButton { padding: 7px 14px; border-radius: 6px; border: 1px solid @field; background: @raised; color: @text; }
#startCard QPushButton:hover { background: @accentSoft; }
#startCard QPushButton#startSampleButton { color: white; background: @accentFill; border-color: @accentFillLine; }
#startCard QPushButton#startSampleButton:hover { background: @accentFillHover; }
#progressView { background: rgba(32, 42, 54, 110); }
#innerProgressView, #drawingCard, #exportCard { background: @panel; border-radius: 10px; border: 1px solid @line; }
QLabel#progressLabel { font-weight: 700; color: @textStrong; }
QLabel#progressPercent { color: @textMuted; }

#popover, #myOpts, #myHelp { background: @panel; border: 1px solid @field; border-radius: 8px; }
#myPop, #colorPickerPopover { background: @panel; border: 1px solid @field; border-radius: 8px; }
#myPop QLabel#selectedItem { color: white; background: @accentFill; border-radius: 5px; padding: 2px 7px; font-weight: 700; }
#myPop QLabel#selectedItemDisp { color: @text; font-weight: 600; }
#myPop QTableView { border: 1px solid @rule; border-radius: 6px; background: @panel;
    selection-background-color: @accentSofter; selection-color: @accentDeep; }
/* The parent list's entries come in the model's own blue, which a dark panel would swallow:
   an item rule with a background is the one the style lets override it. */
#myPop QTableView::item { color: @pickerEntry; background: transparent; }
#myPop QTableView::item:selected { color: @accentDeep; background: @accentSofter; }
/* The position buttons take their text colour (plain black, or blue for the chosen one) from
   the popover itself: their face stays light in both palettes so that both colours read. */
#myPop QPushButton { border: 1px solid @field; border-radius: 5px; padding: 4px 10px; background: @positionFace; }
#myPop QPushButton:hover { background: @positionFaceHover; }
#quickColours QToolButton#pickerButton { border: none; padding: 0; }
QToolButton#popoverItem { text-align: left; padding: 6px 8px; border-radius: 5px; color: @textStrong; }
QToolButton#popoverItem:hover { background: @accentSoft; }
QPushButton#exitFullscreenButton { color: white; background: rgba(43,54,68,0.85); border-radius: 8px; font-weight: 600; }
)";

} // namespace

PaletteMode paletteModeFor(const QByteArray &requested, const QByteArray &gtkTheme,
                           const QPalette &desktop)
{
    const QByteArray asked = requested.trimmed().toLower();
    if (asked == "dark")
        return PaletteMode::Dark;
    if (asked == "light")
        return PaletteMode::Light;
    // GTK desktops name a dark variant in the theme ("Adwaita:dark"); Qt 6.4's GTK theme does
    // not pass its colours on, so the palette alone would say light.
    if (gtkTheme.toLower().endsWith(":dark"))
        return PaletteMode::Dark;
    return desktop.color(QPalette::Window).lightness() <
                   desktop.color(QPalette::WindowText).lightness()
               ? PaletteMode::Dark
               : PaletteMode::Light;
}

QString styleSheetFor(PaletteMode mode)
{
    const ThemeColours &colours = mode == PaletteMode::Dark ? kDarkColours : kLightColours;
    QString sheet = QString::fromLatin1(kStyleSheet);
    static const QRegularExpression token(QStringLiteral("@([A-Za-z]+)"));
    QString out;
    qsizetype from = 0;
    for (auto it = token.globalMatch(sheet); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += QStringView(sheet).mid(from, match.capturedStart() - from);
        out += QLatin1String(colours.value(match.captured(1)));
        from = match.capturedEnd();
    }
    out += QStringView(sheet).mid(from);
    return out;
}

QPalette paletteFor(PaletteMode mode, const QPalette &fusion)
{
    const ThemeColours &c = mode == PaletteMode::Dark ? kDarkColours : kLightColours;
    auto colour = [&c](const char *name) { return QColor(QLatin1String(c.value(name))); };
    QPalette palette = fusion;
    if (mode == PaletteMode::Dark) {
        const QColor window = colour("window"), panel = colour("panel"), text = colour("text");
        palette.setColor(QPalette::WindowText, text);
        palette.setColor(QPalette::Base, panel);
        palette.setColor(QPalette::AlternateBase, colour("rowAlt"));
        palette.setColor(QPalette::Text, text);
        palette.setColor(QPalette::Button, colour("raised"));
        palette.setColor(QPalette::ButtonText, text);
        palette.setColor(QPalette::BrightText, Qt::white);
        palette.setColor(QPalette::ToolTipBase, colour("raised"));
        palette.setColor(QPalette::ToolTipText, text);
        palette.setColor(QPalette::PlaceholderText, colour("textFaint"));
        palette.setColor(QPalette::Link, colour("accentText"));
        palette.setColor(QPalette::Light, window.lighter(160));
        palette.setColor(QPalette::Midlight, window.lighter(130));
        palette.setColor(QPalette::Mid, window.darker(120));
        palette.setColor(QPalette::Dark, window.darker(150));
        palette.setColor(QPalette::Shadow, Qt::black);
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(QPalette::Disabled, role, colour("disabled"));
        palette.setColor(QPalette::Disabled, QPalette::Base, window);
    }
    palette.setColor(QPalette::Window, colour("window"));
    palette.setColor(QPalette::Highlight, colour("accentFill"));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

namespace {
PaletteMode g_mode = PaletteMode::Light;
} // namespace

void applyAppStyle(QApplication &app)
{
    // Read before Fusion replaces it: this is what the desktop's theme gave the application.
    const QPalette desktop = QGuiApplication::palette();
    g_mode = paletteModeFor(qgetenv("PLOTWELL_PALETTE"), qgetenv("GTK_THEME"), desktop);
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app.setPalette(paletteFor(g_mode, app.style()->standardPalette()));
    QFont font = app.font();
    if (font.pointSizeF() < 9.5)
        font.setPointSizeF(9.5);
    app.setFont(font);
    app.setStyleSheet(styleSheetFor(g_mode));
}

PaletteMode appPaletteMode()
{
    return g_mode;
}

QColor surroundColour()
{
    return QColor(QLatin1String(
        (g_mode == PaletteMode::Dark ? kDarkColours : kLightColours).value("window")));
}

void useWindowSurround(QWebEngineView &view)
{
    view.page()->setBackgroundColor(surroundColour());
    if (g_mode != PaletteMode::Dark)
        return;
    QWebEngineScript mark;
    mark.setName(QStringLiteral("plotwell-surround"));
    mark.setInjectionPoint(QWebEngineScript::DocumentCreation);
    mark.setWorldId(QWebEngineScript::ApplicationWorld);
    mark.setRunsOnSubFrames(false);
    // At document creation the root element may not exist yet; the mark must be there before
    // the first paint, and the page's own scripts run before DOMContentLoaded, so either is
    // early enough.
    mark.setSourceCode(
        QStringLiteral("(function () {"
                       "  function mark() { document.documentElement.dataset.surround = 'dark'; }"
                       "  if (document.documentElement) { mark(); }"
                       "  else { document.addEventListener('DOMContentLoaded', mark); }"
                       "})();"));
    view.page()->scripts().insert(mark);
}

QByteArray withOverlayScrollBars(const QByteArray &chromiumFlags)
{
    static const QByteArray feature = "OverlayScrollbar";
    static const QByteArray enable = "--enable-features=";
    QList<QByteArray> flags = chromiumFlags.simplified().split(' ');
    flags.removeAll(QByteArray());
    for (QByteArray &flag : flags) {
        if (!flag.startsWith(enable))
            continue;
        // Chromium takes the last of a repeated switch: add to the one that is there.
        if (!flag.mid(enable.size()).split(',').contains(feature))
            flag += (flag.size() > enable.size() ? "," : "") + feature;
        return flags.join(' ');
    }
    flags.append(enable + feature);
    return flags.join(' ');
}

void useOverlayScrollBars()
{
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            withOverlayScrollBars(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")));
}

QByteArray withQuietChromium(const QByteArray &chromiumFlags)
{
    if (chromiumFlags.contains("--log-level=") || chromiumFlags.contains("--enable-logging"))
        return chromiumFlags;
    return (chromiumFlags.trimmed() + " --log-level=3").trimmed();
}

void quietChromiumUnlessVerbose(bool verbose)
{
    if (!verbose)
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
                withQuietChromium(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")));
}

QByteArray withPageGarbageCollection(const QByteArray &chromiumFlags)
{
    if (chromiumFlags.contains("--js-flags"))
        return chromiumFlags;
    return (chromiumFlags.trimmed() + " --js-flags=--expose-gc").trimmed();
}

void exposeGarbageCollectionToPage()
{
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            withPageGarbageCollection(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")));
}

} // namespace plotwell
