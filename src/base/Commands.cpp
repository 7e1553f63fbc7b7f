#include "base/Commands.h"

#include "base/AppState.h"
#include "base/Log.h"

namespace plotwell {

const QList<DelegateAction> &delegateActions()
{
    using namespace command;
    static const QList<DelegateAction> actions = {
        {QStringLiteral("newFile:"), newDocument, QStringLiteral("NEW CLICKED")},
        {QStringLiteral("openFile:"), openExistingDocument, QStringLiteral("Open CLICKED")},
        {QStringLiteral("saveFile:"), saveDocument, QStringLiteral("SAVE CLICKED")},
        {QStringLiteral("saveAsFile:"), saveDocument, QStringLiteral("SAVE CLICKED")},
        {QStringLiteral("printChart:"), printDocument, QStringLiteral("Print CLICKED")},
        {QStringLiteral("copyChart:"), copyDocument, QStringLiteral("Copy CLICKED")},
        {QStringLiteral("downloadHiresPNG:"), downloadPNGDocument,
         QStringLiteral("Download Hi Res PNG CLICKED")},
        {QStringLiteral("downloadSmallPNG:"), downloadSmallPNGDocument,
         QStringLiteral("Download Small  PNG CLICKED")},
        {QStringLiteral("downloadHiresPDF:"), downloadPDFDocument,
         QStringLiteral("Download Hi Res PDF CLICKED")},
        {QStringLiteral("downloadSmallPDF:"), downloadSmallPDFDocument,
         QStringLiteral("Download Small PDF CLICKED")},
        {QStringLiteral("downloadCharts:"), downloadWOptions,
         QStringLiteral("Email Chart CLICKED")},
        {QStringLiteral("emailChart:"), emailDocument, QStringLiteral("Email Chart CLICKED")},
        {QStringLiteral("share:"), emailDocument, QStringLiteral("Online Help Chart CLICKED")},
        {QStringLiteral("PNGShare:"), PNGSharing, QStringLiteral("Email Chart CLICKED PNG")},
        {QStringLiteral("PDFShare:"), PDFSharing, QStringLiteral("Email Chart CLICKED pDF")},
        {QStringLiteral("PNGDownload:"), PNGDownload, QStringLiteral("Email Chart CLICKED PNG")},
        {QStringLiteral("PDFDownload:"), PDFDownload, QStringLiteral("Email Chart CLICKED pDF")},
        {QStringLiteral("generateSQL:"), genSQL, {}},
        {QStringLiteral("generateJSON:"), genJSON, {}},
        {QStringLiteral("generateHTML:"), genHTMLdownload, {}},
        {QStringLiteral("undoEdit:"), undoEdit, {}},
        {QStringLiteral("redoEdit:"), redoEdit, {}},
        {QStringLiteral("undoAction:"), undoAction, {}},
        {QStringLiteral("redoAction:"), redoAction, {}},
        {QStringLiteral("hideShowGrid:"), showHideGrid, {}},
        {QStringLiteral("hideShowSideBar:"), showHideSideBar, {}},
        {QStringLiteral("fScreen:"), fScreen, QStringLiteral("fScreen CLICKED")},
        {QStringLiteral("findInChart:"), findInChart, {}},
        {QStringLiteral("zoomChartIn:"), zoomChartIn, {}},
        {QStringLiteral("zoomChartOut:"), zoomChartOut, {}},
        {QStringLiteral("fitChart:"), fitChart, {}},
        {QStringLiteral("onlineHelp:"), triggerHelp, QStringLiteral("Online Help Chart CLICKED")},
        {QStringLiteral("modal:"), about, {}},
    };
    return actions;
}

const DelegateAction *findDelegateAction(const QString &action)
{
    for (const DelegateAction &entry : delegateActions()) {
        if (entry.action == action)
            return &entry;
    }
    return nullptr;
}

const QList<MenuItem> &menuItems()
{
    const auto text = [](const char16_t *title) { return QString::fromUtf16(title); };
    const QKeySequence none;
    // The print command is the XML conversion: it prints nothing, so it carries no print label
    // or shortcut.
    static const QList<MenuItem> items = {
        {QStringLiteral("newFile:"), QStringLiteral("File"), text(u"New"), QKeySequence::New},
        {QStringLiteral("openFile:"), QStringLiteral("File"), text(u"Open\u2026"),
         QKeySequence::Open},
        {kOpenRecentMenu, QStringLiteral("File"), text(u"Open Recent"), none},
        {QStringLiteral("saveFile:"), QStringLiteral("File"), text(u"Save"), QKeySequence::Save},
        // Spelled out: the standard keys of Save As and Help are empty on some desktops.
        {QStringLiteral("saveAsFile:"), QStringLiteral("File"), text(u"Save As\u2026"),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {QStringLiteral("downloadTemplate:"), QStringLiteral("File"),
         text(u"Download Sample CSV\u2026"), none},
        {QStringLiteral("liveSample:"), QStringLiteral("File"), text(u"Load Sample\u2026"), none},
        {QStringLiteral("importStaffList:"), QStringLiteral("File"),
         text(u"Import Staff List\u2026"), none},
        {QStringLiteral("downloadSmallPNG:"), QStringLiteral("File/Export"),
         text(u"PNG Picture\u2026"), none, true},
        {QStringLiteral("downloadHiresPNG:"), QStringLiteral("File/Export"),
         text(u"PNG Picture, High Resolution\u2026"), none},
        {QStringLiteral("downloadSmallPDF:"), QStringLiteral("File/Export"),
         text(u"PDF Document\u2026"), none, true},
        {QStringLiteral("downloadHiresPDF:"), QStringLiteral("File/Export"),
         text(u"PDF Document, High Resolution\u2026"), none},
        {QStringLiteral("exportSvg:"), QStringLiteral("File/Export"), text(u"SVG Drawing\u2026"),
         none},
        {QStringLiteral("downloadCharts:"), QStringLiteral("File/Export"),
         text(u"Choose Size and Format\u2026"), none, true},
        {QStringLiteral("PNGShare:"), QStringLiteral("File/Share by Mail"),
         text(u"Mail as PNG Picture"), none},
        {QStringLiteral("PDFShare:"), QStringLiteral("File/Share by Mail"),
         text(u"Mail as PDF Document"), none},
        {QStringLiteral("emailChart:"), QStringLiteral("File/Share by Mail"),
         text(u"Choose Size and Format\u2026"), none, true},
        {QStringLiteral("generateSQL:"), QStringLiteral("File/Convert CSV"),
         text(u"Export SQL\u2026"), none},
        {QStringLiteral("generateJSON:"), QStringLiteral("File/Convert CSV"),
         text(u"Export JSON\u2026"), none},
        {QStringLiteral("printChart:"), QStringLiteral("File/Convert CSV"),
         text(u"Export XML\u2026"), none},
        {QStringLiteral("generateHTML:"), QStringLiteral("File/Convert CSV"),
         text(u"Export HTML\u2026"), none},
        {QStringLiteral("QuitApp:"), QStringLiteral("File"), text(u"Quit"), QKeySequence::Quit,
         true},

        // Undo and Redo are the edits of the chart; the viewer's walk through the charts drawn
        // before is View > Previous Chart / Next Chart, so the two are never confused.
        {QStringLiteral("undoEdit:"), QStringLiteral("Edit"), text(u"Undo"), QKeySequence::Undo},
        {QStringLiteral("redoEdit:"), QStringLiteral("Edit"), text(u"Redo"),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), false, QKeySequence(Qt::CTRL | Qt::Key_Y)},
        {QStringLiteral("copyChart:"), QStringLiteral("Edit"), text(u"Copy Chart"),
         QKeySequence::Copy, true},
        // The rows of the grid, as a spreadsheet or an editor moves lines; they act on the row
        // last worked in, wherever the focus is.
        {QStringLiteral("insertRowAbove:"), QStringLiteral("Edit"), text(u"Insert Row Above"),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Return), true},
        {QStringLiteral("insertRowBelow:"), QStringLiteral("Edit"), text(u"Insert Row Below"),
         QKeySequence(Qt::CTRL | Qt::Key_Return)},
        {QStringLiteral("deleteRow:"), QStringLiteral("Edit"), text(u"Delete Row"),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete)},
        {QStringLiteral("moveRowUp:"), QStringLiteral("Edit"), text(u"Move Row Up"),
         QKeySequence(Qt::ALT | Qt::Key_Up)},
        {QStringLiteral("moveRowDown:"), QStringLiteral("Edit"), text(u"Move Row Down"),
         QKeySequence(Qt::ALT | Qt::Key_Down)},

        {QStringLiteral("renderChart:"), QStringLiteral("View"), text(u"Render Chart"),
         QKeySequence(Qt::CTRL | Qt::Key_R)},
        {QStringLiteral("hideShowGrid:"), QStringLiteral("View"), text(u"Hide Grid"),
         QKeySequence(Qt::CTRL | Qt::Key_G), true},
        {QStringLiteral("hideShowSideBar:"), QStringLiteral("View"), text(u"Hide Sidebar"),
         QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S)},
        {QStringLiteral("undoAction:"), QStringLiteral("View"), text(u"Previous Chart"),
         QKeySequence(Qt::ALT | Qt::Key_Left), true},
        {QStringLiteral("redoAction:"), QStringLiteral("View"), text(u"Next Chart"),
         QKeySequence(Qt::ALT | Qt::Key_Right)},
        {QStringLiteral("updateAsIEdit:"), QStringLiteral("View"), text(u"Update Chart as I Edit"),
         none, true},
        {QStringLiteral("fScreen:"), QStringLiteral("View"), text(u"Full Screen"),
         QKeySequence::FullScreen, true, QKeySequence(Qt::Key_F11)},
        // The chart page answers these keys itself when it has the focus; the menu brings
        // them to it from anywhere in the window.
        {QStringLiteral("findInChart:"), QStringLiteral("View"), text(u"Find in Chart\u2026"),
         QKeySequence(Qt::CTRL | Qt::Key_F), true},
        {QStringLiteral("zoomChartIn:"), QStringLiteral("View"), text(u"Zoom In"),
         QKeySequence(Qt::CTRL | Qt::Key_Plus)},
        {QStringLiteral("zoomChartOut:"), QStringLiteral("View"), text(u"Zoom Out"),
         QKeySequence(Qt::CTRL | Qt::Key_Minus)},
        {QStringLiteral("fitChart:"), QStringLiteral("View"), text(u"Fit Chart in View"),
         QKeySequence(Qt::CTRL | Qt::Key_0)},

        {QStringLiteral("onlineHelp:"), QStringLiteral("Help"), text(u"Plotwell Help"),
         QKeySequence(Qt::Key_F1)},
        {QStringLiteral("myHelpAction:"), QStringLiteral("Help"), text(u"Quick Help"), none},
        {QStringLiteral("showInfo:"), QStringLiteral("Help"), text(u"Creating an Org Chart"), none},
        {QStringLiteral("downloadHelp:"), QStringLiteral("Help"), text(u"Save Help Document\u2026"),
         none},
        {QStringLiteral("modal:"), QStringLiteral("Help"), text(u"About Plotwell"), none, true},

        {QStringLiteral("showInfo:"), QStringLiteral("Options/Help"), {}, none},
        {QStringLiteral("myHelpAction:"), QStringLiteral("Options/Help"), {}, none},
        {QStringLiteral("downloadHelp:"), QStringLiteral("Options/Help"), {}, none},
        {QStringLiteral("modal:"), QStringLiteral("Options/Help"), {}, none},
        // The export and share panels have their own items for the small pictures.
        {QStringLiteral("PNGDownload:"), QStringLiteral("Options/Download"),
         text(u"PNG Picture\u2026"), none},
        {QStringLiteral("PDFDownload:"), QStringLiteral("Options/Download"),
         text(u"PDF Document\u2026"), none},
        {QStringLiteral("downloadHiresPNG:"), QStringLiteral("Options/Download"), {}, none},
        {QStringLiteral("downloadHiresPDF:"), QStringLiteral("Options/Download"), {}, none},
        {QStringLiteral("exportSvg:"), QStringLiteral("Options/Download"), {}, none},
        {QStringLiteral("copyChart:"), QStringLiteral("Options/Download"), {}, none},
        {QStringLiteral("PNGShare:"), QStringLiteral("Options/Share"), {}, none},
        {QStringLiteral("PDFShare:"), QStringLiteral("Options/Share"), {}, none},
        {QStringLiteral("share:"), QStringLiteral("Options/Share"),
         text(u"Choose Size and Format\u2026"), none},
        // The import panel: the CSV file in, and its conversions out.
        {QStringLiteral("openFile:"), QStringLiteral("Options/Import"), {}, none},
        {QStringLiteral("downloadTemplate:"), QStringLiteral("Options/Import"), {}, none},
        {QStringLiteral("generateSQL:"), QStringLiteral("Options/Import"), {}, none},
        {QStringLiteral("generateJSON:"), QStringLiteral("Options/Import"), {}, none},
        {QStringLiteral("printChart:"), QStringLiteral("Options/Import"), {}, none},
        {QStringLiteral("generateHTML:"), QStringLiteral("Options/Import"), {}, none},

        {QStringLiteral("undoAction:"), QStringLiteral("Toolbar"), {}, none},
        {QStringLiteral("redoAction:"), QStringLiteral("Toolbar"), {}, none},
        {QStringLiteral("fScreen:"), QStringLiteral("Toolbar"), {}, none, true},
        // The options popover's panels, under their buttons.
        {QStringLiteral("downloadOpts:"), QStringLiteral("Toolbar"), text(u"Export"), none, true},
        {QStringLiteral("shareOpts:"), QStringLiteral("Toolbar"), text(u"Share"), none},
        {QStringLiteral("importOpts:"), QStringLiteral("Toolbar"), text(u"CSV"), none},
        {QStringLiteral("onlineHelp:"), QStringLiteral("Toolbar"), {}, none, true},
    };
    return items;
}

int toggleMenuFlag(int &flag)
{
    flag = flag != 1 ? 1 : 0;
    return flag;
}

bool runDelegateAction(const QString &action, AppState &state, CommandCenter &center)
{
    const DelegateAction *entry = findDelegateAction(action);
    if (!entry)
        return false;
    if (action == QLatin1String("saveFile:"))
        state.saveAsUsed = false;
    else if (action == QLatin1String("saveAsFile:"))
        state.saveAsUsed = true;
    else if (action == QLatin1String("openFile:"))
        state.openRecent = false;
    else if (action == QLatin1String("hideShowGrid:"))
        toggleMenuFlag(state.hideGrd);
    else if (action == QLatin1String("hideShowSideBar:"))
        toggleMenuFlag(state.hideSideBar);
    center.post(entry->command);
    if (!entry->diagLine.isEmpty())
        diag(entry->diagLine);
    return true;
}

const QList<ObservedCommand> &viewControllerCommands()
{
    using namespace command;
    const auto at = [](const char *where) {
        return QStringLiteral("Exception occured at ") + QLatin1String(where);
    };
    static const QList<ObservedCommand> table = {
        {triggerHelp, QStringLiteral("myHelpClick:"), at("help")},
        {openRecentDocument, QStringLiteral("openRecentDocument:"), at("very recent")},
        {openExistingDocument, QStringLiteral("openExistingDocument:"), at("Open file")},
        {showHideSideBar, QStringLiteral("hideSideBar:"), at("hide side bar")},
        {saveDocument, QStringLiteral("saveData:"), at("save")},
        {newDocument, QStringLiteral("clearAlert:"), at("clear")},
        {showHideGrid, QStringLiteral("hideGrid:"), at("did exit")},
        {printDocument, QStringLiteral("print:"), at("print")},
        {copyDocument, QStringLiteral("copyChart:"), at("copy")},
        {downloadPNGDocument, QStringLiteral("downloadHiResPNG:"), at("hi res PNG")},
        {downloadPDFDocument, QStringLiteral("printHiResPDF:"), at("hi res PDF")},
        {downloadSmallPNGDocument, QStringLiteral("PNGDownload:"), at("PNG download")},
        {downloadSmallPDFDocument, QStringLiteral("PDFDownload:"), at("PDF download")},
        {emailDocument, QStringLiteral("emailChart:"), at("email")},
        {downloadWOptions, QStringLiteral("downloadWOptions:"), at("download options")},
        {about, QStringLiteral("about:"), at("about")},
        {PNGSharing, QStringLiteral("PNGShare"), at("PNG share")},
        {PDFSharing, QStringLiteral("PDFShare"), at("PDF share")},
        {PNGDownload, QStringLiteral("PNGDownload:"), at("PNG download")},
        {PDFDownload, QStringLiteral("PDFDownload:"), at("PDF download")},
        {fScreen, QStringLiteral("fullScreen:"), QStringLiteral("Error Occured at full screen.")},
        {resizeWebView, QStringLiteral("resizeWebView:"), at(" Resize")},
        {resizeToFillWebView, QStringLiteral("resizeToFillWebView:"), at(" Resize")},
        {genSQL, QStringLiteral("showSQLPanel:"), QStringLiteral("ERROR AT")},
        {genJSON, QStringLiteral("showJSONPanel:"), QStringLiteral("ERROR AT JSON DOWNLOAD")},
        {genHTMLdownload, QStringLiteral("showHTMLDownloadPanel:"), QStringLiteral("ERROR AT")},
        {undoEdit, QStringLiteral("undoEdit"), at("undo edit")},
        {redoEdit, QStringLiteral("redoEdit"), at("redo edit")},
        {redoAction, QStringLiteral("redoAction"), at("redo")},
        {undoAction, QStringLiteral("undoAction"), at("undo")},
        {openHelp, QStringLiteral("myHelpAction:"), at("help")},
        {findInChart, QStringLiteral("findInChart:"), at("find")},
        {zoomChartIn, QStringLiteral("zoomChartIn:"), at("zoom")},
        {zoomChartOut, QStringLiteral("zoomChartOut:"), at("zoom")},
        {fitChart, QStringLiteral("fitChart:"), at("fit")},
    };
    return table;
}

const QList<ObservedCommand> &delegateCommands()
{
    using namespace command;
    static const QList<ObservedCommand> table = {
        {windowResized, QStringLiteral("windowResized:"),
         QStringLiteral("Exception occured at  Resize")},
        {toggleFullScreen, QStringLiteral("fullscreen:"),
         QStringLiteral("Error Occured at full screen.")},
        {triggerHideGrid, QStringLiteral("triggerhideGrid"),
         QStringLiteral("Error Occured at hidegrid")},
        {triggerShowGrid, QStringLiteral("triggerShowGrid"),
         QStringLiteral("Error Occured at hidegrid")},
        {disableRedo, QStringLiteral("disableRedo"), {}},
        {enableRedo, QStringLiteral("enableRedo"), {}},
        {disableUndo, QStringLiteral("disableUndo"), {}},
        {enableUndo, QStringLiteral("enableUndo"), {}},
    };
    return table;
}

void HandlerTable::add(const QString &handler, CommandCenter::Handler body)
{
    m_bodies.insert(handler, std::move(body));
}

QStringList HandlerTable::install(CommandCenter &center, const QList<ObservedCommand> &table) const
{
    QStringList registered;
    for (const ObservedCommand &entry : table) {
        const auto body = m_bodies.constFind(entry.handler);
        if (body == m_bodies.cend())
            continue;
        center.observe(entry.command, *body, entry.guardLine);
        registered << entry.command;
    }
    return registered;
}

QStringList HandlerTable::unknownHandlers(const QList<ObservedCommand> &table) const
{
    QStringList unknown;
    for (auto it = m_bodies.cbegin(); it != m_bodies.cend(); ++it) {
        const bool listed =
            std::any_of(table.cbegin(), table.cend(),
                        [&](const ObservedCommand &e) { return e.handler == it.key(); });
        if (!listed)
            unknown << it.key();
    }
    return unknown;
}

} // namespace plotwell
