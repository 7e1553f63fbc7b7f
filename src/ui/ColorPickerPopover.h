#pragma once

#include "ui/Popovers.h"

#include <QColor>
#include <QPointer>

#include <functional>

class QColorDialog;
class QLineEdit;
class QPushButton;
class QPropertyAnimation;

namespace plotwell {

/// The one colour popover of the application: a grid of swatches and the hex text, with the
/// full colour panel (no alpha: the chart cannot draw it) folding out under "More colours…". Every
/// colour the panel reports is stored and passed to the attached action. Closing (Escape, a click
/// elsewhere, close()) detaches the action, so a popover that is not on show never writes anything.
class ColorPickerPopover : public Popover
{
    Q_OBJECT
public:
    /// Called with the popover after each changed colour.
    using Action = std::function<void(ColorPickerPopover &)>;

    /// The shared instance, made on first use and owned by \a owner (the main view).
    static ColorPickerPopover &sharedPopover(QWidget *owner = nullptr);

    /// Shows the popover below \a rect, given in the coordinates of \a view. Shown already, it
    /// closes at once and reopens at the new place, keeping its target and action.
    void showRelativeToRect(const QRect &rect, QWidget *view);

    /// Stores \a colour and, while on show, loads it into the panel.
    void setColor(const QColor &colour);
    [[nodiscard]] QColor color() const { return m_colour; }

    void setTarget(QObject *target) { m_target = target; }
    void setAction(Action action) { m_action = std::move(action); }
    [[nodiscard]] QObject *target() const { return m_target; }
    [[nodiscard]] bool hasAction() const { return bool(m_action); }

    [[nodiscard]] bool animates() const { return m_animates; }
    void setAnimates(bool animates) { m_animates = animates; }
    /// Whether the popover listens to its panel (while on show).
    [[nodiscard]] bool isObserving() const { return m_observing; }

    [[nodiscard]] QColorDialog *colorPanel() const { return m_panel; }
    [[nodiscard]] QLineEdit *hexField() const { return m_hex; }
    [[nodiscard]] QPushButton *moreColoursButton() const { return m_more; }

protected:
    void hideEvent(QHideEvent *event) override;

private:
    explicit ColorPickerPopover(QWidget *parent);
    void observe(bool on);
    void panelColourChanged(const QColor &colour);

    QColorDialog *m_panel = nullptr;
    QLineEdit *m_hex = nullptr;
    QPushButton *m_more = nullptr;
    QPropertyAnimation *m_fadeIn = nullptr;
    QColor m_colour = Qt::white;
    QPointer<QObject> m_target;
    Action m_action;
    bool m_animates = true;
    bool m_observing = false;
    bool m_reopening = false;
};

} // namespace plotwell
