#pragma once

#include "base/CommandCenter.h"

#include <QKeySequence>
#include <QList>
#include <QMap>
#include <QString>

namespace plotwell {

struct AppState;

/// The command vocabulary: the names that menu and toolbar actions post and that the view
/// controller and the delegate observe.
namespace command {
// Documents.
inline const QString newDocument = QStringLiteral("newDocument");
inline const QString openExistingDocument = QStringLiteral("openExistingDocument");
inline const QString openRecentDocument = QStringLiteral("openRecentDocument");
inline const QString saveDocument = QStringLiteral("saveDocument");
// Export and sharing.
inline const QString printDocument = QStringLiteral("printDocument");
inline const QString copyDocument = QStringLiteral("copyDocument");
inline const QString downloadPNGDocument = QStringLiteral("downloadPNGDocument");
inline const QString downloadSmallPNGDocument = QStringLiteral("downloadSmallPNGDocument");
inline const QString downloadPDFDocument = QStringLiteral("downloadPDFDocument");
inline const QString downloadSmallPDFDocument = QStringLiteral("downloadSmallPDFDocument");
inline const QString downloadWOptions = QStringLiteral("downloadWOptions");
inline const QString emailDocument = QStringLiteral("emailDocument");
inline const QString PNGSharing = QStringLiteral("PNGSharing");
inline const QString PDFSharing = QStringLiteral("PDFSharing");
inline const QString PNGDownload = QStringLiteral("PNGDownload");
inline const QString PDFDownload = QStringLiteral("PDFDownload");
// Converters.
inline const QString genSQL = QStringLiteral("genSQL");
inline const QString genJSON = QStringLiteral("genJSON");
inline const QString genHTMLdownload = QStringLiteral("genHTMLdownload");
// Edits of the chart (the editor's undo stack).
inline const QString undoEdit = QStringLiteral("undoEdit");
inline const QString redoEdit = QStringLiteral("redoEdit");
// The viewer's history of drawn charts: Previous Chart and Next Chart.
inline const QString undoAction = QStringLiteral("undoAction");
inline const QString redoAction = QStringLiteral("redoAction");
inline const QString enableUndo = QStringLiteral("enableUndo");
inline const QString disableUndo = QStringLiteral("disableUndo");
inline const QString enableRedo = QStringLiteral("enableRedo");
inline const QString disableRedo = QStringLiteral("disableRedo");
// Window.
inline const QString showHideGrid = QStringLiteral("showHideGrid");
inline const QString showHideSideBar = QStringLiteral("showHideSideBar");
inline const QString triggerHideGrid = QStringLiteral("triggerHideGrid");
inline const QString triggerShowGrid = QStringLiteral("triggerShowGrid");
inline const QString fScreen = QStringLiteral("fScreen");
inline const QString toggleFullScreen = QStringLiteral("toggleFullScreen");
inline const QString windowResized = QStringLiteral("windowResized");
inline const QString resizeWebView = QStringLiteral("resizeWebView");
inline const QString resizeToFillWebView = QStringLiteral("resizeToFillWebView");
// The chart on screen.
inline const QString findInChart = QStringLiteral("findInChart");
inline const QString zoomChartIn = QStringLiteral("zoomChartIn");
inline const QString zoomChartOut = QStringLiteral("zoomChartOut");
inline const QString fitChart = QStringLiteral("fitChart");
// Help.
inline const QString triggerHelp = QStringLiteral("triggerHelp");
inline const QString openHelp = QStringLiteral("openHelp");
inline const QString about = QStringLiteral("about");
} // namespace command

/// A menu or toolbar action of the delegate: the command it posts (none when empty) and the
/// diagnostic line written after posting (none when empty).
struct DelegateAction
{
    QString action; // "saveFile:"
    QString command;
    QString diagLine;
};

/// Every action of the delegate's menus and toolbar that posts a command, in menu order.
[[nodiscard]] const QList<DelegateAction> &delegateActions();
[[nodiscard]] const DelegateAction *findDelegateAction(const QString &action);

/// Runs a delegate action: its state change (save-as flag, open-recent flag, menu toggle
/// flags), the post, then the diagnostic line. Returns false for an unknown action.
bool runDelegateAction(const QString &action, AppState &state, CommandCenter &center);

/// One appearance of an action in the window: in a menu ("File", or "File/Export" for a
/// submenu), on the toolbar ("Toolbar"), or in a panel of the options popover ("Options/Share").
/// The action is a delegate action (it posts its command) or one the window serves itself
/// ("liveSample:"); it is made at its first appearance, which gives its title and shortcut,
/// and later rows show the same action again.
struct MenuItem
{
    QString action;
    QString place;
    QString title;
    QKeySequence shortcut;
    bool separatorBefore = false;
    /// A second shortcut for the same action (Ctrl+Y beside Ctrl+Shift+Z for Redo, F11 where
    /// the desktop has no key of its own for Full Screen).
    QKeySequence alternateShortcut = {};
};

/// Stands in a menu for the Open Recent submenu of the recent documents.
inline const QString kOpenRecentMenu = QStringLiteral("openRecent");

/// The menus, the toolbar and the options popover's panels, in order.
[[nodiscard]] const QList<MenuItem> &menuItems();

/// A command that the view controller observes and the name of the handler that serves it.
struct ObservedCommand
{
    QString command;
    QString handler;   // "saveData:"
    QString guardLine; // written when the handler fails
};

/// The view controller's observers in registration order. Handlers of features that later
/// work brings are listed too; only those with an implementation are registered.
[[nodiscard]] const QList<ObservedCommand> &viewControllerCommands();

/// The commands the delegate itself observes, in registration order.
[[nodiscard]] const QList<ObservedCommand> &delegateCommands();

/// Implementations by handler name ("saveData:"), collected from the controllers that make up
/// the view controller, then registered in the table's order.
class HandlerTable
{
public:
    void add(const QString &handler, CommandCenter::Handler body);
    /// Adds \a method of \a object, which takes no argument, as handler \a handler.
    template <typename Object>
    void bind(const QString &handler, Object *object, void (Object::*method)())
    {
        add(handler, [object, method](const QVariant &) { (object->*method)(); });
    }
    [[nodiscard]] bool has(const QString &handler) const { return m_bodies.contains(handler); }
    /// The body added as \a handler, to be wrapped by a later add(); empty when there is none.
    [[nodiscard]] CommandCenter::Handler body(const QString &handler) const
    {
        return m_bodies.value(handler);
    }
    [[nodiscard]] QStringList handlerNames() const { return m_bodies.keys(); }

    /// Registers, in the order of \a table, every command whose handler is implemented, each
    /// under its own guard line. Returns the commands registered. Handlers named in no row of
    /// \a table are a programming error and are reported by unknownHandlers().
    QStringList install(CommandCenter &center, const QList<ObservedCommand> &table) const;
    [[nodiscard]] QStringList unknownHandlers(const QList<ObservedCommand> &table) const;

private:
    QMap<QString, CommandCenter::Handler> m_bodies;
};

/// The menu title state flags: toggles \a flag between 0 and 1 and returns the new value.
int toggleMenuFlag(int &flag);

} // namespace plotwell
