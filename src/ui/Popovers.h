#pragma once

#include <QFrame>

class QAction;
class QLabel;
class QStackedWidget;
class QVBoxLayout;

namespace plotwell {

/// A small window that closes when the user clicks elsewhere, shown under an anchor.
class Popover : public QFrame
{
    Q_OBJECT
public:
    explicit Popover(QWidget *parent = nullptr);
    /// Shows the popover below \a anchor, kept on the anchor's screen.
    void showUnder(QWidget *anchor);
    /// Shows the popover with its top left corner at \a globalPos, moved as little as needed
    /// to lie inside the window of \a anchor (the parent's window without one).
    void showAt(QPoint globalPos, const QWidget *anchor);
    /// \a popover moved as little as needed to lie inside \a area.
    [[nodiscard]] static QRect placeWithin(QRect popover, const QRect &area);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

/// The options popover `myOpts`: four panels, one visible at a time. Each panel lists the
/// actions registered with it, so the features that come later add their entries here.
class OptionsPopover : public Popover
{
    Q_OBJECT
public:
    enum class Panel { Help, Share, Download, Import };

    explicit OptionsPopover(QWidget *parent = nullptr);
    void addAction(Panel panel, QAction *action);
    [[nodiscard]] bool isEmpty(Panel panel) const;
    /// Makes \a panel the visible one.
    void setPanel(Panel panel);
    [[nodiscard]] Panel panel() const { return m_panel; }

private:
    struct PanelWidgets
    {
        QWidget *page = nullptr;
        QVBoxLayout *items = nullptr;
        int count = 0;
    };
    PanelWidgets &panelWidgets(Panel panel);

    QStackedWidget *m_stack;
    PanelWidgets m_panels[4];
    Panel m_panel = Panel::Help;
};

/// The quick-help popover `myHelp`: how the grid, SELECT and Render work together.
class QuickHelpPopover : public Popover
{
    Q_OBJECT
public:
    explicit QuickHelpPopover(QWidget *parent = nullptr);
};

} // namespace plotwell
