#include "ui/ColorPickerPopover.h"

#include "colour/Colour.h"

#include <QColorDialog>
#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>

namespace plotwell {

namespace {

constexpr int kSwatchColumns = 8;

/// The colours offered at a glance: greys, then strong and soft tones of the main hues.
const QList<QColor> &swatchChoices()
{
    static const QList<QColor> colours = [] {
        QList<QColor> list;
        for (const char *name :
             {"#FFFFFF", "#E0E0E0", "#BDBDBD", "#9E9E9E", "#757575", "#545454", "#333333",
              "#000000", "#C62828", "#EF6C00", "#F9A825", "#2E7D32", "#00838F", "#1565C0",
              "#4527A0", "#AD1457", "#EF9A9A", "#FFCC80", "#FFF59D", "#A5D6A7", "#80DEEA",
              "#90CAF9", "#B39DDB", "#F48FB1", "#FFEBEE", "#FFF3E0", "#FFFDE7", "#E8F5E9",
              "#E0F7FA", "#E3F2FD", "#EDE7F6", "#FCE4EC"})
            list << QColor(QLatin1String(name));
        return list;
    }();
    return colours;
}

/// The colour dialog as a plain child widget. Escape and Return end a dialog by hiding it,
/// which would leave an empty popup: here they close the popover instead.
class EmbeddedColourPanel final : public QColorDialog
{
public:
    explicit EmbeddedColourPanel(QWidget *popover) : QColorDialog(popover), m_popover(popover)
    {
        setWindowFlags(Qt::Widget);
        // The chart draws opaque colours only, so the panel offers no alpha.
        setOptions(QColorDialog::NoButtons | QColorDialog::DontUseNativeDialog);
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
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);

    // A compact choice first: a grid of swatches and the hex text; the full panel folds out.
    auto *swatches = new QGridLayout;
    swatches->setSpacing(4);
    int index = 0;
    for (const QColor &colour : swatchChoices()) {
        auto *swatch = new QToolButton(this);
        swatch->setObjectName(QStringLiteral("swatchChoice"));
        swatch->setFixedSize(22, 22);
        swatch->setToolTip(hexStringFromColor(colour));
        swatch->setStyleSheet(QStringLiteral("QToolButton { background: %1; border: 1px solid "
                                             "rgba(0,0,0,60); border-radius: 4px; }")
                                  .arg(colour.name()));
        connect(swatch, &QToolButton::clicked, this,
                [this, colour] { m_panel->setCurrentColor(colour); });
        swatches->addWidget(swatch, index / kSwatchColumns, index % kSwatchColumns);
        ++index;
    }
    layout->addLayout(swatches);

    auto *hexRow = new QHBoxLayout;
    m_hex = new QLineEdit(this);
    m_hex->setObjectName(QStringLiteral("colourHex"));
    m_hex->setPlaceholderText(QStringLiteral("#RRGGBB"));
    m_hex->setMaxLength(7);
    m_hex->setFixedWidth(90);
    connect(m_hex, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (const std::optional<QColor> colour = colourOfSlotText(text))
            m_panel->setCurrentColor(*colour);
    });
    m_more = new QPushButton(QStringLiteral("More colours\u2026"), this);
    m_more->setObjectName(QStringLiteral("moreColours"));
    m_more->setCheckable(true);
    hexRow->addWidget(m_hex);
    hexRow->addStretch(1);
    hexRow->addWidget(m_more);
    layout->addLayout(hexRow);

    m_panel = new EmbeddedColourPanel(this);
    m_panel->setObjectName(QStringLiteral("colorPanel"));
    m_panel->setCurrentColor(m_colour);
    layout->addWidget(m_panel);
    m_panel->hide();
    connect(m_more, &QPushButton::toggled, this, [this](bool shown) {
        m_panel->setVisible(shown);
        adjustSize();
        showAt(pos(), parentWidget());
    });
    connect(m_panel, &QColorDialog::currentColorChanged, this, [this](const QColor &colour) {
        if (!m_hex->hasFocus())
            m_hex->setText(hexStringFromColor(colour));
    });
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
    m_hex->setText(hexStringFromColor(m_colour));
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
