#pragma once

#include "platform/AppContext.h"
#include "shell/WindowLayout.h"

#include <QSizeF>
#include <QString>

#include <functional>

namespace plotwell {

class ChartEditor;
class ChartGrid;
class HandlerTable;
class ViewerLoader;

/// What the window rules need of the main view on screen.
class ShellView
{
public:
    virtual ~ShellView() = default;
    [[nodiscard]] virtual QSizeF viewSize() const = 0;
    /// Places the views; shows or hides the grid column and the chart title view.
    virtual void applyLayout(const WindowLayout &layout) = 0;
    /// The grid button's image, tool tip and title colour for the grid's state.
    virtual void setGridButtonLook(bool gridShown) = 0;
    virtual void setSideBarVisible(bool visible) = 0;
    virtual void showProgressIndicator() = 0;
    /// Sizes and centres the full-screen viewer and places the exit button above all views.
    virtual void layoutFullScreenViewer(const FullScreenLayout &layout) = 0;
    /// Shows the quick-help popover anchored on the help button.
    virtual void showQuickHelp() = 0;
    /// Gives the chart viewer the keyboard, as its search box opens.
    virtual void focusChart() = 0;
};

/// The window's own commands: layout pass, grid and sidebar toggles, full screen, undo and
/// redo, help and about.
class ShellController
{
public:
    ShellController(AppContext context, ChartGrid &grid, ViewerLoader &viewers, ShellView &view);

    /// Samples become one undoable step of \a editor (none: the grid is written directly).
    void setEditor(ChartEditor *editor) { m_editor = editor; }
    /// Asked before a sample replaces the chart: whether it may (the user may save first).
    void setAskBeforeReplacing(std::function<bool(const QString &question)> ask)
    {
        m_askBeforeReplacing = std::move(ask);
    }

    /// Registers the handlers of the commands above by name.
    void addHandlers(HandlerTable &table);

    /// The placeholder page while the grid is empty (the layout passes ask for it too).
    void showPlaceholderIfEmpty();

    // Handlers.
    void resizeWebView();
    void resizeToFillWebView();
    void hideGrid();
    void hideSideBar();
    void fullScreen();
    void willEnterFull();
    void didExitFull();
    /// `myHelpClick:` (F1, Plotwell Help): the help document opens in the desktop's viewer.
    void myHelpClick();
    void myHelpAction();
    void about();
    /// `showInfo:`: the how-to alert.
    void showInfo();
    /// `liveSample:`: asks which sample, fills the grid with it and lays the view out.
    void liveSample();

    [[nodiscard]] int gridHidden() const { return m_gridHidden; }
    [[nodiscard]] bool sideBarHidden() const { return m_sideBarHidden; }
    [[nodiscard]] int htmlWidth() const { return m_htmlWidth; }
    /// The width the user dragged the sidebar to, 0 while it follows the window.
    [[nodiscard]] double sideBarWidth() const { return m_sideBarWidth; }
    /// The user dragged the splitter: the sidebar keeps \a width from now on, in later runs
    /// too, and the previews are offered the viewer's new width.
    void setSideBarWidth(double width);
    /// Clears `gridHidden` and `sideBarHidden` (view load).
    void clearFlags();

    /// Posts `openRecentDocument` unless a conversion is running.
    void refreshUnlessConverting();

private:
    [[nodiscard]] double windowWidth() const;
    void recordSample(const std::function<void()> &load);

    AppContext m_context;
    ChartGrid &m_grid;
    ViewerLoader &m_viewers;
    ShellView &m_view;
    ChartEditor *m_editor = nullptr;
    std::function<bool(const QString &)> m_askBeforeReplacing;
    int m_gridHidden = 0;
    bool m_sideBarHidden = false;
    int m_htmlWidth = 0;
    double m_sideBarWidth = 0;
};

/// The preferences key of the sidebar's width.
inline const QString kSideBarWidthKey = QStringLiteral("sideBarWidth");

/// The delegate's `windowResized:`: records the window size, then lays the view out for the
/// window or, in full screen, fills it.
void windowResized(QSizeF frame, AppContext context);

/// `downloadHelp:`: offers a save panel for the help document "orvantaMac.pdf" and copies it
/// there atomically. A document that cannot be read or written is reported, never saved empty.
void downloadHelp(AppContext context);

/// The how-to alert's text.
[[nodiscard]] QString howToText();

} // namespace plotwell
