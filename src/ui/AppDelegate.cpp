#include "ui/AppDelegate.h"

#include "app/Commands.h"
#include "app/Log.h"
#include "app/ShellController.h"
#include "platform/qt/QtPorts.h"
#include "ui/FileDrop.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWindowStateChangeEvent>

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
    setWindowTitle(QStringLiteral("Untitled"));
    setMinimumSize(900, 560);
}

AppDelegate::~AppDelegate() = default;

AppContext AppDelegate::context()
{
    return {m_state,         m_commands,          *m_ports.preferences,
            *m_ports.alerts, *m_ports.filePanels, *m_ports.desktop,
            *m_ports.mailer};
}

void AppDelegate::setLaunchDocument(const QString &path)
{
    // Opened as the system's open-file request is: by its own path, without a panel.
    m_state.openDoubleClicked = !path.isEmpty();
    m_state.doubleClickedUrl = path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
    if (m_state.openDoubleClicked)
        m_state.openRecent = QStringLiteral("YES");
}

void AppDelegate::openHandedOverFile(const QString &path)
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    if (!path.isEmpty() && m_view)
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

void AppDelegate::buildMenus()
{
    const auto add = [](QMenu *menu, QAction *item) {
        if (item)
            menu->addAction(item);
    };
    const auto addSubmenu = [](QMenu *menu, const QString &title,
                               const QList<QAction *> &items) -> QMenu * {
        QList<QAction *> present;
        for (QAction *item : items) {
            if (item)
                present << item;
        }
        if (present.isEmpty())
            return nullptr;
        QMenu *sub = menu->addMenu(title);
        sub->addActions(present);
        return sub;
    };

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    add(file, commandAction(QStringLiteral("newFile:"), QStringLiteral("New"), QKeySequence::New));
    add(file, commandAction(QStringLiteral("openFile:"), QStringLiteral("Open\u2026"),
                            QKeySequence::Open));
    if (m_commands.isObserved(command::openExistingDocument))
        buildOpenRecentMenu(file->addMenu(QStringLiteral("Open Recent")));
    add(file,
        commandAction(QStringLiteral("saveFile:"), QStringLiteral("Save"), QKeySequence::Save));
    add(file, commandAction(QStringLiteral("saveAsFile:"), QStringLiteral("Save As\u2026"),
                            QKeySequence::SaveAs));
    add(file, plainAction(QStringLiteral("downloadTemplate:"),
                          QStringLiteral("Download Sample CSV\u2026"),
                          [this] { m_view->documents().downloadTemplate(); }));
    add(file, plainAction(QStringLiteral("liveSample:"), QStringLiteral("Load Sample\u2026"),
                          [this] { m_view->liveSample(); }));
    file->addSeparator();
    addSubmenu(
        file, QStringLiteral("Export"),
        {commandAction(QStringLiteral("downloadSmallPNG:"), QStringLiteral("PNG\u2026")),
         commandAction(QStringLiteral("downloadHiresPNG:"), QStringLiteral("HiRes PNG\u2026")),
         commandAction(QStringLiteral("downloadSmallPDF:"), QStringLiteral("PDF\u2026")),
         commandAction(QStringLiteral("downloadHiresPDF:"), QStringLiteral("HiRes PDF\u2026")),
         commandAction(QStringLiteral("downloadCharts:"), QStringLiteral("Export\u2026"))});
    addSubmenu(file, QStringLiteral("Share by Mail"),
               {commandAction(QStringLiteral("PNGShare:"), QStringLiteral("PNG")),
                commandAction(QStringLiteral("PDFShare:"), QStringLiteral("PDF")),
                commandAction(QStringLiteral("emailChart:"), QStringLiteral("Share\u2026"))});
    // The conversions of the opened CSV file. The print command is the XML conversion: it
    // prints nothing, so it carries no print label or shortcut.
    QMenu *convert = addSubmenu(
        file, QStringLiteral("Convert CSV"),
        {commandAction(QStringLiteral("generateSQL:"), QStringLiteral("Export SQL\u2026")),
         commandAction(QStringLiteral("generateJSON:"), QStringLiteral("Export JSON\u2026")),
         commandAction(QStringLiteral("printChart:"), QStringLiteral("Export XML\u2026")),
         commandAction(QStringLiteral("generateHTML:"), QStringLiteral("Export HTML\u2026"))});
    if (convert)
        convert->setObjectName(QStringLiteral("convertMenu"));
    file->addSeparator();
    add(file, plainAction(
                  QStringLiteral("QuitApp:"), QStringLiteral("Quit"), [this] { close(); },
                  QKeySequence::Quit));

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    QAction *undo =
        commandAction(QStringLiteral("undoAction:"), QStringLiteral("Undo"), QKeySequence::Undo);
    QAction *redo =
        commandAction(QStringLiteral("redoAction:"), QStringLiteral("Redo"), QKeySequence::Redo);
    // Nothing to walk until the first chart has loaded.
    for (QAction *item : {undo, redo}) {
        if (item)
            item->setEnabled(false);
    }
    add(edit, undo);
    add(edit, redo);
    edit->addSeparator();
    add(edit, commandAction(QStringLiteral("copyChart:"), QStringLiteral("Copy Chart"),
                            QKeySequence::Copy));

    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));
    QAction *grid = commandAction(QStringLiteral("hideShowGrid:"), QStringLiteral("Hide Grid"),
                                  QKeySequence(Qt::CTRL | Qt::Key_G));
    if (grid)
        grid->setObjectName(QStringLiteral("hidshowGrid"));
    add(view, grid);
    QAction *sideBar =
        commandAction(QStringLiteral("hideShowSideBar:"), QStringLiteral("Hide Sidebar"),
                      QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    if (sideBar) {
        sideBar->setObjectName(QStringLiteral("hidshowSideBar"));
        connect(sideBar, &QAction::triggered, this, [this, sideBar] {
            sideBar->setText(m_state.hideSideBar == 1 ? QStringLiteral("Show Sidebar")
                                                      : QStringLiteral("Hide Sidebar"));
        });
    }
    add(view, sideBar);
    view->addSeparator();
    add(view, commandAction(QStringLiteral("fScreen:"), QStringLiteral("Full Screen"),
                            QKeySequence::FullScreen));

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    add(help, commandAction(QStringLiteral("onlineHelp:"), QStringLiteral("Plotwell Help"),
                            QKeySequence::HelpContents));
    add(help, plainAction(QStringLiteral("myHelpAction:"), QStringLiteral("Quick Help"),
                          [this] { m_view->shell().myHelpAction(); }));
    add(help, plainAction(QStringLiteral("showInfo:"), QStringLiteral("Creating an Org Chart"),
                          [this] { m_view->shell().showInfo(); }));
    add(help, plainAction(QStringLiteral("downloadHelp:"),
                          QStringLiteral("Save Help Document\u2026"), [this] { downloadHelp(); }));
    help->addSeparator();
    add(help, commandAction(QStringLiteral("modal:"), QStringLiteral("About Plotwell")));

    // The help panel of the options popover.
    OptionsPopover &options = m_view->optionsPopover();
    options.addAction(OptionsPopover::Panel::Help, action(QStringLiteral("showInfo:")));
    options.addAction(OptionsPopover::Panel::Help, action(QStringLiteral("myHelpAction:")));
    options.addAction(OptionsPopover::Panel::Help, action(QStringLiteral("downloadHelp:")));
    if (QAction *about = action(QStringLiteral("modal:")))
        options.addAction(OptionsPopover::Panel::Help, about);
    // The popover's export and share panels have their own buttons for the small pictures.
    const auto addTo = [&options](OptionsPopover::Panel panel, QAction *item) {
        if (item)
            options.addAction(panel, item);
    };
    using Panel = OptionsPopover::Panel;
    addTo(Panel::Download,
          commandAction(QStringLiteral("PNGDownload:"), QStringLiteral("Small PNG\u2026")));
    addTo(Panel::Download,
          commandAction(QStringLiteral("PDFDownload:"), QStringLiteral("Small PDF\u2026")));
    addTo(Panel::Download, action(QStringLiteral("downloadHiresPNG:")));
    addTo(Panel::Download, action(QStringLiteral("downloadHiresPDF:")));
    addTo(Panel::Download, action(QStringLiteral("copyChart:")));
    addTo(Panel::Share, action(QStringLiteral("PNGShare:")));
    addTo(Panel::Share, action(QStringLiteral("PDFShare:")));
    addTo(Panel::Share,
          commandAction(QStringLiteral("share:"), QStringLiteral("Choose Size and Format\u2026")));
    // The import panel: the CSV file in, and its conversions out.
    for (const char *name : {"openFile:", "downloadTemplate:", "generateSQL:", "generateJSON:",
                             "printChart:", "generateHTML:"})
        addTo(Panel::Import, action(QLatin1String(name)));

    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto tool = [this](const QString &name) {
        if (QAction *item = action(name))
            m_toolBar->addAction(item);
    };
    tool(QStringLiteral("undoAction:"));
    tool(QStringLiteral("redoAction:"));
    m_toolBar->addSeparator();
    tool(QStringLiteral("fScreen:"));
    m_toolBar->addSeparator();
    // `downloadOpts:` and `shareOpts:`: the options popover's panels, under their buttons.
    const auto panelButton = [this, &options](const QString &name, const QString &text,
                                              OptionsPopover::Panel panel) {
        if (options.isEmpty(panel))
            return;
        QAction *item = plainAction(name, text, [this, name, panel] {
            m_view->showOptions(panel, m_toolBar->widgetForAction(action(name)));
        });
        m_toolBar->addAction(item);
    };
    panelButton(QStringLiteral("downloadOpts:"), QStringLiteral("Export"),
                OptionsPopover::Panel::Download);
    panelButton(QStringLiteral("shareOpts:"), QStringLiteral("Share"),
                OptionsPopover::Panel::Share);
    panelButton(QStringLiteral("importOpts:"), QStringLiteral("CSV"),
                OptionsPopover::Panel::Import);
    m_toolBar->addSeparator();
    tool(QStringLiteral("onlineHelp:"));
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
    const int answer = m_ports.alerts->runModal(
        {QStringLiteral("This action will Quit the App and any unsaved changes will be lost."),
         QStringLiteral("Are you sure you want to continue?"),
         {QStringLiteral("Yes"), QStringLiteral("Cancel")},
         AlertSpec::Style::Warning});
    return answer == kFirstButton;
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

void AppDelegate::downloadHelp()
{
    plotwell::downloadHelp(context());
}

} // namespace plotwell
