#include "ui/ColorPickerPopover.h"

#include <QColorDialog>
#include <QCursor>
#include <QPropertyAnimation>
#include <QVBoxLayout>

namespace plotwell {

namespace {

/// The colour dialog as a plain child widget. Escape and Return end a dialog by hiding it,
/// which would leave an empty popup: here they close the popover instead.
class EmbeddedColourPanel final : public QColorDialog
{
public:
    explicit EmbeddedColourPanel(QWidget *popover) : QColorDialog(popover), m_popover(popover)
    {
        setWindowFlags(Qt::Widget);
        setOptions(QColorDialog::NoButtons | QColorDialog::ShowAlphaChannel |
                   QColorDialog::DontUseNativeDialog);
        setSizeGripEnabled(false);
    }

    void done(int) override { m_popover->close(); }

private:
    QWidget *m_popover;
};

QPointer<ColorPickerPopover> &sharedInstance()
{
    static QPointer<ColorPickerPopover> instance;
    return instance;
}

} // namespace

ColorPickerPopover &ColorPickerPopover::sharedPopover(QWidget *owner)
{
    QPointer<ColorPickerPopover> &instance = sharedInstance();
    if (!instance)
        instance = new ColorPickerPopover(owner);
    return *instance;
}

ColorPickerPopover::ColorPickerPopover(QWidget *parent) : Popover(parent)
{
    setObjectName(QStringLiteral("colorPickerPopover"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    m_panel = new EmbeddedColourPanel(this);
    m_panel->setObjectName(QStringLiteral("colorPanel"));
    m_panel->setCurrentColor(m_colour);
    layout->addWidget(m_panel);
    m_panel->show();
    m_fadeIn = new QPropertyAnimation(this, "windowOpacity", this);
    m_fadeIn->setDuration(140);
    m_fadeIn->setStartValue(0.0);
    m_fadeIn->setEndValue(1.0);
}

void ColorPickerPopover::showRelativeToRect(const QRect &rect, QWidget *view)
{
    if (isVisible()) {
        // Straight to the new place: no closing animation, and the receiver stays attached.
        m_reopening = true;
        hide();
        m_reopening = false;
    }
    m_panel->setCurrentColor(m_colour);
    observe(true);
    if (m_animates) {
        setWindowOpacity(0.0);
        m_fadeIn->start();
    } else {
        m_fadeIn->stop();
        setWindowOpacity(1.0);
    }
    if (!view) {
        showAt(QCursor::pos(), nullptr);
        return;
    }
    adjustSize();
    const QPoint below = view->mapToGlobal(QPoint(rect.center().x(), rect.bottom() + 4));
    showAt(below - QPoint(width() / 2, 0), view);
}

void ColorPickerPopover::setColor(const QColor &colour)
{
    m_colour = colour;
    if (isVisible())
        m_panel->setCurrentColor(colour);
}

void ColorPickerPopover::hideEvent(QHideEvent *event)
{
    Popover::hideEvent(event);
    if (m_reopening)
        return;
    m_target = nullptr;
    m_action = nullptr;
    observe(false);
}

void ColorPickerPopover::observe(bool on)
{
    if (on == m_observing)
        return;
    m_observing = on;
    if (on)
        connect(m_panel, &QColorDialog::currentColorChanged, this,
                &ColorPickerPopover::panelColourChanged);
    else
        disconnect(m_panel, &QColorDialog::currentColorChanged, this,
                   &ColorPickerPopover::panelColourChanged);
}

void ColorPickerPopover::panelColourChanged(const QColor &colour)
{
    m_colour = colour;
    if (m_target && m_action)
        m_action(*this);
}

} // namespace plotwell
