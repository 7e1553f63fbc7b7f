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
        {QStringLiteral("undoAction:"), undoAction, {}},
        {QStringLiteral("redoAction:"), redoAction, {}},
        {QStringLiteral("hideShowGrid:"), showHideGrid, {}},
        {QStringLiteral("hideShowSideBar:"), showHideSideBar, {}},
        {QStringLiteral("fScreen:"), fScreen, QStringLiteral("fScreen CLICKED")},
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
        state.saveAsUsed = QStringLiteral("NO");
    else if (action == QLatin1String("saveAsFile:"))
        state.saveAsUsed = QStringLiteral("YES");
    else if (action == QLatin1String("openFile:"))
        state.openRecent = QStringLiteral("NO");
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
        {redoAction, QStringLiteral("redoAction"), at("redo")},
        {undoAction, QStringLiteral("undoAction"), at("undo")},
        {openHelp, QStringLiteral("myHelpAction:"), at("help")},
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
