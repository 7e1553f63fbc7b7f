#pragma once

#include "base/AppState.h"
#include "base/CommandCenter.h"
#include "base/Commands.h"
#include "shell/Launch.h"
#include "ui/MasterViewController.h"

#include <QMainWindow>
#include <QMap>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QToolBar;

namespace plotwell {

class Alerts;
class Desktop;
class FilePanels;
class Mailer;
class Preferences;

/// The application delegate: the window, its menus and toolbar, the shared state and the
/// desktop ports. Menu and toolbar actions post commands; the view controller serves them.
class AppDelegate : public QMainWindow, private LaunchHost
{
    Q_OBJECT
public:
    /// Replacements for the desktop ports and the viewers; tests supply fakes, the
    /// application leaves them empty and gets the Qt implementations.
    struct Ports
    {
        Preferences *preferences = nullptr;
        Alerts *alerts = nullptr;
        FilePanels *filePanels = nullptr;
        Desktop *desktop = nullptr;
        Mailer *mailer = nullptr;
        std::function<ChartViewers(QObject *owner)> viewers;
    };

    explicit AppDelegate(Ports ports, QWidget *parent = nullptr);
    AppDelegate() : AppDelegate(Ports{}) {}
    ~AppDelegate() override;

    /// `applicationDidFinishLaunching:`: creates and loads the view, then builds the menus
    /// from the commands that have a handler.
    void applicationDidFinishLaunching();
    /// A file handed over while the window runs (by a later start, or dropped on the window):
    /// the window comes to the front and opens it as the system's open-file request does. An
    /// empty path only brings the window to the front.
    void openHandedOverFile(const QString &path);

    [[nodiscard]] AppState &state() { return m_state; }
    [[nodiscard]] CommandCenter &commands() { return m_commands; }
    [[nodiscard]] AppContext context();
    [[nodiscard]] MasterViewController *viewController() const { return m_view; }
    /// The QAction of a delegate action ("saveFile:"); null when the menus lack it.
    [[nodiscard]] QAction *action(const QString &name) const { return m_actions.value(name); }
    [[nodiscard]] QToolBar *toolBar() const { return m_toolBar; }

    /// `closeThisWindow`: the quit confirmation. Returns true when the user chose to quit.
    bool closeThisWindow();
    /// `fullscreen:`: toggles the window's full-screen state.
    void fullscreen();
    /// `downloadHelp:`: saves the help document where the user chooses.
    void downloadHelp();
    /// Keeps a copy of an unsaved chart in \a path (ChartWorkspace::keepRecoveryCopyIn) and,
    /// once the window is up, offers back one that an earlier run left there. After launch.
    void keepRecoveryCopyIn(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // LaunchHost
    void setDefaultFont() override;
    void redirectCloseButton() override;
    [[nodiscard]] QSizeF windowFrame() const override;
    void registerDelegateObservers() override;
    void createViewController() override;
    void installView() override;

    void buildMenus();
    /// Open Recent: the recent documents, newest first, kept up to date.
    void buildOpenRecentMenu(QMenu *menu);
    /// A menu action that runs delegate action \a name, or nothing when the command it posts
    /// has no handler yet.
    QAction *commandAction(const QString &name, const QString &text,
                           const QKeySequence &shortcut = {});
    QAction *plainAction(const QString &name, const QString &text, const std::function<void()> &run,
                         const QKeySequence &shortcut = {});
    /// An action the window serves itself rather than through a command; \a available, when
    /// set, says whether it has anything to do.
    struct WindowAction
    {
        std::function<void()> run;
        std::function<bool()> available;
    };
    [[nodiscard]] WindowAction windowAction(const QString &name);
    /// The action of a menu table row, made at its first appearance; null when it has nothing
    /// to run yet.
    QAction *menuAction(const MenuItem &item);

    AppState m_state;
    CommandCenter m_commands;
    std::unique_ptr<Preferences> m_ownPreferences;
    std::unique_ptr<Alerts> m_ownAlerts;
    std::unique_ptr<FilePanels> m_ownFilePanels;
    std::unique_ptr<Desktop> m_ownDesktop;
    std::unique_ptr<Mailer> m_ownMailer;
    Ports m_ports;
    MasterViewController *m_view = nullptr;
    QMap<QString, QAction *> m_actions;
    QToolBar *m_toolBar = nullptr;
    bool m_launched = false;
    bool m_quitConfirmed = false;
    QFont m_font;
};

} // namespace plotwell
