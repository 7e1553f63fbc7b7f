#include "ui/AppDelegate.h"

#include "base/Commands.h"
#include "base/Log.h"
#include "platform/qt/QtPorts.h"
#include "shell/ShellController.h"
#include "ui/FileDrop.h"
#include "ui/GridView.h"
#include "ui/StaffImportDialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QUndoStack>
#include <QWindowStateChangeEvent>

#include <map>

namespace plotwell {

AppDelegate::AppDelegate(Ports ports, QWidget *parent)
    : QMainWindow(parent), m_ports(std::move(ports))
{
    setObjectName(QStringLiteral("window"));
    if (!m_ports.preferences) {
        m_ownPreferences = std::make_unique<SettingsPreferences>();
        m_ports.preferences = m_ownPreferences.get();
    }
    if (!m_ports.alerts) {
        m_ownAlerts = std::make_unique<MessageBoxAlerts>(this);
        m_ports.alerts = m_ownAlerts.get();
    }
    if (!m_ports.filePanels) {
        m_ownFilePanels = std::make_unique<DialogFilePanels>(this);
        m_ports.filePanels = m_ownFilePanels.get();
    }
    if (!m_ports.desktop) {
        m_ownDesktop = std::make_unique<WidgetDesktop>(this);
        m_ports.desktop = m_ownDesktop.get();
    }
    if (!m_ports.mailer) {
        m_ownMailer = std::make_unique<DesktopMailer>();
        m_ports.mailer = m_ownMailer.get();
    }
    if (!m_ports.viewers)
        m_ports.viewers = makeWebEngineViewers;
    setWindowTitle(QStringLiteral("Untitled[*]"));
    setMinimumSize(900, 560);
}

AppDelegate::~AppDelegate() = default;

AppContext AppDelegate::context()
{
    return {m_state,         m_commands,          *m_ports.preferences,
            *m_ports.alerts, *m_ports.filePanels, *m_ports.desktop,
            *m_ports.mailer};
}

void AppDelegate::openHandedOverFile(const QString &path)
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    if (path.isEmpty() || !m_view)
        return;
    // A staff list is read person by person, not as the grid's titles.
    if (looksLikeStaffList(path))
        importStaffList(*m_view, this, path);
    else
        m_view->documents().openFileRequest(path);
}

void AppDelegate::buildOpenRecentMenu(QMenu *menu)
{
    menu->setObjectName(QStringLiteral("openRecentMenu"));
    document::RecentDocuments &recent = m_view->recentDocuments();
    const auto fill = [this, menu, &recent] {
        menu->clear();
        const QStringList paths = recent.paths();
        for (const QString &path : paths) {
            QAction *item = menu->addAction(QFileInfo(path).fileName());
            item->setToolTip(path);
            connect(item, &QAction::triggered, this,
                    [this, path] { m_view->documents().openFileRequest(path); });
        }
        menu->addSeparator();
        QAction *clear = menu->addAction(QStringLiteral("Clear Menu"));
        clear->setEnabled(!paths.isEmpty());
        connect(clear, &QAction::triggered, &recent, &document::RecentDocuments::clear);
    };
    fill();
    connect(&recent, &document::RecentDocuments::changed, menu, fill);
}

void AppDelegate::applicationDidFinishLaunching()
{
    plotwell::applicationDidFinishLaunching(static_cast<LaunchHost &>(*this), context());
    buildMenus();
    new FileDrop(this, [this](const QString &path) { openHandedOverFile(path); });
    m_launched = true;
}

// LaunchHost

void AppDelegate::setDefaultFont()
{
    m_font = QApplication::font();
    m_font.setPointSize(12);
    m_font.setBold(true);
}

void AppDelegate::redirectCloseButton()
{
    // closeEvent() asks before anything closes.
    m_quitConfirmed = false;
}

QSizeF AppDelegate::windowFrame() const
{
    return size();
}

void AppDelegate::registerDelegateObservers()
{
    HandlerTable table;
    table.add(QStringLiteral("windowResized:"),
              [this](const QVariant &) { windowResized(size(), context()); });
    table.add(QStringLiteral("fullscreen:"), [this](const QVariant &) { fullscreen(); });
    const auto gridTitle = [this](const QString &title) {
        if (QAction *item = action(QStringLiteral("hideShowGrid:")))
            item->setText(title);
    };
    table.add(QStringLiteral("triggerhideGrid"),
              [gridTitle](const QVariant &) { gridTitle(QStringLiteral("Hide Grid")); });
    table.add(QStringLiteral("triggerShowGrid"),
              [gridTitle](const QVariant &) { gridTitle(QStringLiteral("Show Grid")); });
    const auto enable = [this](const QString &name, bool on) {
        if (QAction *item = action(name))
            item->setEnabled(on);
    };
    table.add(QStringLiteral("disableRedo"),
              [enable](const QVariant &) { enable(QStringLiteral("redoAction:"), false); });
    table.add(QStringLiteral("enableRedo"),
              [enable](const QVariant &) { enable(QStringLiteral("redoAction:"), true); });
    table.add(QStringLiteral("disableUndo"),
              [enable](const QVariant &) { enable(QStringLiteral("undoAction:"), false); });
    table.add(QStringLiteral("enableUndo"),
              [enable](const QVariant &) { enable(QStringLiteral("undoAction:"), true); });
    table.install(m_commands, delegateCommands());
}

void AppDelegate::createViewController()
{
    m_view = new MasterViewController(context(), m_ports.viewers(this), this);
    connect(m_view, &MasterViewController::helpRequested, this,
            [this](QWidget *anchor) { m_view->showOptions(OptionsPopover::Panel::Help, anchor); });
}

void AppDelegate::installView()
{
    setCentralWidget(m_view);
    m_view->loadView();
    // The chart the view starts with is the one a new window has: nothing to save yet. Said
    // before the launch document opens, which would otherwise ask about it.
    m_view->workspace().unsavedChanges().markSaved();
    // A chart starts in the grid: what is typed at once goes into the top box's title.
    m_view->gridView().row(1).title->setFocus(Qt::OtherFocusReason);
}

// Menus

QAction *AppDelegate::commandAction(const QString &name, const QString &text,
                                    const QKeySequence &shortcut)
{
    const DelegateAction *entry = findDelegateAction(name);
    if (!entry || !m_commands.isObserved(entry->command))
        return nullptr;
    auto *item = new QAction(text, this);
    item->setObjectName(name);
    item->setShortcut(shortcut);
    connect(item, &QAction::triggered, this,
            [this, name] { runDelegateAction(name, m_state, m_commands); });
    m_actions.insert(name, item);
    return item;
}

QAction *AppDelegate::plainAction(const QString &name, const QString &text,
                                  const std::function<void()> &run, const QKeySequence &shortcut)
{
    auto *item = new QAction(text, this);
    item->setObjectName(name);
    item->setShortcut(shortcut);
    connect(item, &QAction::triggered, this, run);
    m_actions.insert(name, item);
    return item;
}

AppDelegate::WindowAction AppDelegate::windowAction(const QString &name)
{
    using Panel = OptionsPopover::Panel;
    const auto panelButton = [this, name](Panel panel) {
        return WindowAction{[this, name, panel] {
                                m_view->showOptions(panel,
                                                    m_toolBar->widgetForAction(action(name)));
                            },
                            [this, panel] { return !m_view->optionsPopover().isEmpty(panel); }};
    };
    const auto rowAction = [this](RowAction row) {
        return WindowAction{[this, row] { m_view->gridView().runRowAction(row); }, {}};
    };
    const std::map<QString, WindowAction> actions = {
        {QStringLiteral("downloadTemplate:"), {[this] { m_view->documents().downloadTemplate(); }}},
        {QStringLiteral("liveSample:"), {[this] { m_view->liveSample(); }}},
        {QStringLiteral("renderChart:"), {[this] { m_view->submitData(); }}},
        {QStringLiteral("importStaffList:"), {[this] { importStaffList(*m_view, this, {}); }}},
        {QStringLiteral("exportSvg:"), {[this] { exportViewerSvg(*m_view, this); }}},
        {QStringLiteral("insertRowAbove:"), rowAction(RowAction::InsertAbove)},
        {QStringLiteral("insertRowBelow:"), rowAction(RowAction::InsertBelow)},
        {QStringLiteral("deleteRow:"), rowAction(RowAction::Delete)},
        {QStringLiteral("moveRowUp:"), rowAction(RowAction::MoveUp)},
        {QStringLiteral("moveRowDown:"), rowAction(RowAction::MoveDown)},
        {QStringLiteral("updateAsIEdit:"), {[this] {
             m_view->workspace().liveUpdate().setEnabled(
                 action(QStringLiteral("updateAsIEdit:"))->isChecked());
         }}},
        {QStringLiteral("QuitApp:"), {[this] { close(); }}},
        {QStringLiteral("myHelpAction:"), {[this] { m_view->shell().myHelpAction(); }}},
        {QStringLiteral("showInfo:"), {[this] { m_view->shell().showInfo(); }}},
        {QStringLiteral("downloadHelp:"), {[this] { downloadHelp(); }}},
        {QStringLiteral("downloadOpts:"), panelButton(Panel::Download)},
        {QStringLiteral("shareOpts:"), panelButton(Panel::Share)},
        {QStringLiteral("importOpts:"), panelButton(Panel::Import)},
    };
    const auto found = actions.find(name);
    return found == actions.end() ? WindowAction{} : found->second;
}

QAction *AppDelegate::menuAction(const MenuItem &item)
{
    if (QAction *made = action(item.action))
        return made;
    QAction *made = nullptr;
    if (findDelegateAction(item.action)) {
        made = commandAction(item.action, item.title, item.shortcut);
    } else {
        const WindowAction own = windowAction(item.action);
        if (!own.run || (own.available && !own.available()))
            return nullptr;
        made = plainAction(item.action, item.title, own.run, item.shortcut);
    }
    if (made && !item.alternateShortcut.isEmpty()) {
        // A desktop's own key for a standard command may be none, or the alternate itself: a
        // key bound twice would be ambiguous, and dead.
        QList<QKeySequence> keys = {item.shortcut};
        if (item.alternateShortcut != item.shortcut)
            keys << item.alternateShortcut;
        keys.removeAll(QKeySequence());
        made->setShortcuts(keys);
    }
    return made;
}

void AppDelegate::buildMenus()
{
    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);

    const std::map<QString, OptionsPopover::Panel> panels = {
        {QStringLiteral("Options/Help"), OptionsPopover::Panel::Help},
        {QStringLiteral("Options/Download"), OptionsPopover::Panel::Download},
        {QStringLiteral("Options/Share"), OptionsPopover::Panel::Share},
        {QStringLiteral("Options/Import"), OptionsPopover::Panel::Import},
    };
    // Menus by place; a submenu is made by its first item that is there, so that a submenu
    // whose commands have no handler yet does not appear empty.
    std::map<QString, QMenu *> menus;
    const auto topMenu = [&](const QString &title) {
        QMenu *&menu = menus[title];
        if (!menu)
            menu = menuBar()->addMenu(QLatin1Char('&') + title);
        return menu;
    };
    for (const MenuItem &item : menuItems()) {
        const QString top = item.place.section(QLatin1Char('/'), 0, 0);
        if (top == QLatin1String("Toolbar")) {
            if (QAction *made = menuAction(item)) {
                if (item.separatorBefore)
                    m_toolBar->addSeparator();
                m_toolBar->addAction(made);
            }
            continue;
        }
        if (top == QLatin1String("Options")) {
            if (QAction *made = menuAction(item))
                m_view->optionsPopover().addAction(panels.at(item.place), made);
            continue;
        }
        QMenu *menu = topMenu(top);
        if (item.action == kOpenRecentMenu) {
            if (m_commands.isObserved(command::openExistingDocument))
                buildOpenRecentMenu(menu->addMenu(item.title));
            continue;
        }
        QAction *made = menuAction(item);
        if (!made)
            continue;
        if (item.separatorBefore)
            menu->addSeparator();
        if (item.place != top) {
            QMenu *&sub = menus[item.place];
            if (!sub)
                sub = menu->addMenu(item.place.section(QLatin1Char('/'), 1));
            menu = sub;
        }
        menu->addAction(made);
    }

    if (QMenu *convert = menus[QStringLiteral("File/Convert CSV")])
        convert->setObjectName(QStringLiteral("convertMenu"));
    // Nothing to walk until the first chart has loaded.
    for (const char *name : {"undoAction:", "redoAction:"}) {
        if (QAction *item = action(QLatin1String(name)))
            item->setEnabled(false);
    }
    // The edit history says itself when there is a step to undo or redo.
    QUndoStack &edits = m_view->workspace().editor().undoStack();
    if (QAction *undo = action(QStringLiteral("undoEdit:"))) {
        undo->setEnabled(edits.canUndo());
        connect(&edits, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    }
    if (QAction *redo = action(QStringLiteral("redoEdit:"))) {
        redo->setEnabled(edits.canRedo());
        connect(&edits, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    }
    // The row menu of the grid offers the Edit menu's row items, shortcuts and all.
    QList<QAction *> rowActions;
    for (const char *name :
         {"insertRowAbove:", "insertRowBelow:", "deleteRow:", "moveRowUp:", "moveRowDown:"})
        rowActions << action(QLatin1String(name));
    m_view->gridView().setRowActions(rowActions);
    if (QAction *live = action(QStringLiteral("updateAsIEdit:"))) {
        live->setCheckable(true);
        live->setChecked(m_view->workspace().liveUpdate().isEnabled());
    }
    if (QAction *grid = action(QStringLiteral("hideShowGrid:")))
        grid->setObjectName(QStringLiteral("hidshowGrid"));
    if (QAction *sideBar = action(QStringLiteral("hideShowSideBar:"))) {
        sideBar->setObjectName(QStringLiteral("hidshowSideBar"));
        connect(sideBar, &QAction::triggered, this, [this, sideBar] {
            sideBar->setText(m_state.hideSideBar == 1 ? QStringLiteral("Show Sidebar")
                                                      : QStringLiteral("Hide Sidebar"));
        });
    }
}

// Window

void AppDelegate::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_launched)
        m_commands.post(command::windowResized);
}

void AppDelegate::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !m_view)
        return;
    const auto *change = static_cast<QWindowStateChangeEvent *>(event);
    const bool was = change->oldState().testFlag(Qt::WindowFullScreen);
    const bool now = isFullScreen();
    if (!was && now)
        m_view->willEnterFull();
    else if (was && !now)
        m_view->didExitFull();
}

void AppDelegate::fullscreen()
{
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}

bool AppDelegate::closeThisWindow()
{
    diag(QStringLiteral("Window CLosed.."));
    return !m_view || m_view->workspace().confirmQuit();
}

void AppDelegate::closeEvent(QCloseEvent *event)
{
    if (!m_quitConfirmed && !closeThisWindow()) {
        event->ignore();
        return;
    }
    m_quitConfirmed = true;
    event->accept();
    QCoreApplication::quit();
}

void AppDelegate::keepRecoveryCopyIn(const QString &path)
{
    if (!m_view)
        return;
    ChartWorkspace &workspace = m_view->workspace();
    workspace.keepRecoveryCopyIn(path);
    if (!workspace.hasRecoveryCopy())
        return;
    // Asked over the window, once it is shown.
    QMetaObject::invokeMethod(
        this,
        [this] {
            ChartWorkspace &workspace = m_view->workspace();
            const int answer = m_ports.alerts->runModal(
                {QStringLiteral("Recover the chart you did not save?"),
                 QStringLiteral("Plotwell ended while a chart had changes that were not saved. "
                                "Recover it to go on where you left off, or discard it."),
                 {QStringLiteral("Recover"), QStringLiteral("Discard")},
                 AlertSpec::Style::Warning});
            if (answer == kFirstButton)
                workspace.recoverChart();
            else
                workspace.discardRecoveryCopy();
        },
        Qt::QueuedConnection);
}

void AppDelegate::downloadHelp()
{
    plotwell::downloadHelp(context());
}

} // namespace plotwell
