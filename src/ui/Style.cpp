#include "ui/Style.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace plotwell {

namespace {

const char *const kStyleSheet = R"(
QMainWindow, #everythingView { background: #eef1f5; }
QToolBar#toolbar { background: #f8f9fb; border: none; border-bottom: 1px solid #d9dee5; spacing: 2px; padding: 3px 8px; }
QToolBar#toolbar QToolButton { padding: 4px 10px; border-radius: 5px; color: #27313d; }
QToolBar#toolbar QToolButton:hover { background: #e6ebf1; }
QToolBar#toolbar QToolButton:disabled { color: #a7b0bb; }

#toolbarView { background: #2b3644; }
#toolbarView QPushButton { color: #c6e2ff; background: transparent; border: 1px solid rgba(198,226,255,0.35);
    border-radius: 6px; padding: 5px 14px; font-weight: 600; }
#toolbarView QPushButton:hover { background: rgba(255,255,255,0.08); }
#toolbarView QPushButton#renderButton { color: white; background: #418cf0; border: 1px solid #3a7fdc; }
#toolbarView QPushButton#renderButton:hover { background: #5498f2; }
#toolbarView QPushButton#hideButton[gridShown="false"] { color: #00ae00; border-color: rgba(0,174,0,0.6); }
#toolbarView QToolButton { color: #dce4ee; padding: 5px 9px; border-radius: 6px; }
#toolbarView QToolButton:hover { background: rgba(255,255,255,0.10); }
#toolbarView QToolButton#quickHelpButton { color: #7fb0f5; }

#chartTitleView QLabel#fieldLabel { color: #4a5562; font-weight: 600; }
#chartTitleView QLineEdit { font-size: 11pt; padding: 5px 8px; }

QScrollArea#scrollView, #sidebar { background: transparent; }
#settingsPanel { background: white; border: 1px solid #dde3ea; border-radius: 8px; }
#settingsPanel QLabel { color: #4a5562; }
QLabel#sectionTitle, QLabel#pageHeader, QLabel#popoverTitle { color: #6b7685; font-weight: 700;
    font-size: 8pt; letter-spacing: 1px; text-transform: uppercase; }
QLabel#pageHeader { padding: 8px 4px 2px 4px; }

#gridView { background: white; border: 1px solid #dde3ea; }
#gridHeader { background: #f3f5f8; border-bottom: 1px solid #dde3ea; }
QLabel#columnTitle { color: #6b7685; font-weight: 700; font-size: 8pt; }
#gridRow { background: white; border-bottom: 1px solid #eef1f4; }
#gridRow[odd="false"] { background: #fafbfc; }
#gridRow QLineEdit { padding: 1px 4px; border-color: transparent; background: transparent; }
#gridRow QLineEdit:hover { border-color: #d5dbe3; }
#gridRow QLineEdit:focus { border-color: #418cf0; background: white; }
#gridRow QLineEdit[readOnly="true"] { color: #1f2933; }
#gridRow[current="true"] { background: #e8f0fd; }
#gridRow QComboBox { padding: 1px 4px; border-color: transparent; background: transparent; min-height: 18px; }
#gridRow QComboBox:hover { border-color: #d5dbe3; }
#gridRow QComboBox::drop-down { width: 14px; }
#gridRow QComboBox::down-arrow { margin-right: 4px; }
#rowDropMarker { background: #418cf0; }
#problemsPanel { background: #fff8e6; border-top: 1px solid #f0d9a0; }
QLabel#problemsTitle { color: #8a5a00; font-weight: 700; font-size: 8pt; }
QListView#problemsList { border: none; background: transparent; color: #5c3d00; }
#sideTabs::pane { border: none; }
#sideTabs QTabBar::tab { padding: 4px 14px; }
QSplitter#mainSplitter::handle { background: transparent; }
QSplitter#mainSplitter::handle:hover { background: #d5dbe3; }
#gridRow QLabel#rowNumber { color: #8a94a3; font-weight: 700; }
#gridRow QPushButton#selectButton { color: #2f6fd0; background: #eef4fe; border: 1px solid #c9dcfb;
    border-radius: 5px; padding: 1px 4px; font-size: 8pt; font-weight: 700; }
#gridRow QPushButton#selectButton:hover { background: #dfeafd; }
#gridRow QToolButton#pickerButton { border: 1px solid #d5dbe3; border-radius: 4px; padding: 0 3px; color: #4a5562; }

QLineEdit { border: 1px solid #cfd6df; border-radius: 5px; padding: 3px 6px; background: white;
    selection-background-color: #418cf0; }
QLineEdit:focus { border-color: #418cf0; }
QLineEdit:disabled { color: #a7b0bb; background: #f3f5f8; }
QComboBox { border: 1px solid #cfd6df; border-radius: 5px; padding: 3px 8px; background: white; min-height: 20px; }
QComboBox:hover { border-color: #9fb3cc; }
QComboBox::drop-down { border: none; width: 22px; }
QComboBox::down-arrow { image: url(:/ui/icons/chevron-down.svg); width: 10px; height: 6px; margin-right: 8px; }
QComboBox QAbstractItemView { border: 1px solid #cfd6df; background: white; color: #1f2933;
    selection-background-color: #418cf0; selection-color: white; outline: none; }
QComboBox QAbstractItemView::item { min-height: 22px; padding: 0 6px; color: #1f2933; }
QComboBox QAbstractItemView::item:hover, QComboBox QAbstractItemView::item:selected { background: #418cf0; color: white; }
QScrollBar:vertical { background: transparent; width: 10px; margin: 2px; }
QScrollBar::handle:vertical { background: #c3cbd5; border-radius: 3px; min-height: 30px; }
QScrollBar::handle:vertical:hover { background: #a9b4c1; }
QScrollBar:horizontal { background: transparent; height: 10px; margin: 2px; }
QScrollBar::handle:horizontal { background: #c3cbd5; border-radius: 3px; min-width: 30px; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }
QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }

#startScreen { background: #eef1f5; }
#startCard { background: white; border: 1px solid #d5dbe3; border-radius: 10px; }
QLabel#startTitle { color: #1f2933; font-size: 14pt; font-weight: 700; }
QLabel#startHint { color: #4a5562; }
QLabel#startDrop { color: #6b7685; padding-top: 6px; }
#startCard QPushButton { padding: 7px 14px; border-radius: 6px; border: 1px solid #cfd6df; background: #f8f9fb; color: #1f2933; }
#startCard QPushButton:hover { background: #eef4fe; }
#startCard QPushButton#startSampleButton { color: white; background: #418cf0; border-color: #3a7fdc; }
#progressView { background: rgba(32, 42, 54, 110); }
#innerProgressView { background: white; border-radius: 10px; border: 1px solid #d5dbe3; }
QLabel#progressLabel { font-weight: 700; color: #27313d; }
QLabel#progressPercent { color: #6b7685; }

#popover, #myOpts, #myHelp { background: white; border: 1px solid #cfd6df; border-radius: 8px; }
#myPop, #colorPickerPopover { background: white; border: 1px solid #cfd6df; border-radius: 8px; }
#myPop QLabel#selectedItem { color: white; background: #418cf0; border-radius: 5px; padding: 2px 7px; font-weight: 700; }
#myPop QLabel#selectedItemDisp { color: #1f2933; font-weight: 600; }
#myPop QTableView { border: 1px solid #dde3ea; border-radius: 6px; background: white;
    selection-background-color: #dfeafd; selection-color: #192cee; }
#myPop QPushButton { border: 1px solid #cfd6df; border-radius: 5px; padding: 4px 10px; background: #f8f9fb; }
#myPop QPushButton:hover { background: #eef4fe; }
#quickColours QToolButton#pickerButton { border: none; padding: 0; }
QToolButton#popoverItem { text-align: left; padding: 6px 8px; border-radius: 5px; color: #27313d; }
QToolButton#popoverItem:hover { background: #eef4fe; }
QPushButton#exitFullscreenButton { color: white; background: rgba(43,54,68,0.85); border-radius: 8px; font-weight: 600; }
)";

} // namespace

void applyAppStyle(QApplication &app)
{
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette = app.style()->standardPalette();
    palette.setColor(QPalette::Window, QColor(0xee, 0xf1, 0xf5));
    palette.setColor(QPalette::Highlight, QColor(0x41, 0x8c, 0xf0));
    app.setPalette(palette);
    QFont font = app.font();
    if (font.pointSizeF() < 9.5)
        font.setPointSizeF(9.5);
    app.setFont(font);
    app.setStyleSheet(QString::fromLatin1(kStyleSheet));
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

} // namespace plotwell
