#include "ui/AppearancePanel.h"

#include "base/ChartAppearance.h"
#include "ui/WheelGuard.h"

#include <QComboBox>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFormLayout>
#include <QLabel>

namespace plotwell {

namespace {

void addValues(QComboBox *combo, int from, int to, int step = 1)
{
    for (int value = from; value <= to; value += step)
        combo->addItem(QString::number(value), QString::number(value));
}

} // namespace

AppearancePanel::AppearancePanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("appearancePanel"));
    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(6);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *family = new QComboBox(this);
    family->setObjectName(QStringLiteral("fontFamilyCombo"));
    // The start family first, then what is installed; a document may name a family this
    // computer lacks, which is added when shown (showValue) so the choice stays visible.
    const QString startFamily = ChartAppearance().fontFamily;
    QStringList families = QFontDatabase::families();
    families.removeAll(startFamily);
    family->addItem(startFamily, startFamily);
    for (const QString &name : families) {
        if (!QFontDatabase::isPrivateFamily(name))
            family->addItem(name, name);
    }
    m_fontInUse = new QLabel(this);
    m_fontInUse->setObjectName(QStringLiteral("fontInUse"));
    showFontInUse(startFamily);

    auto *size = new QComboBox(this);
    size->setObjectName(QStringLiteral("fontSizeCombo"));
    addValues(size, 8, 36);

    auto *nodeSize = new QComboBox(this);
    nodeSize->setObjectName(QStringLiteral("nodeSizeCombo"));
    nodeSize->addItem(QStringLiteral("Fit to text"), QStringLiteral("0"));
    addValues(nodeSize, 80, 240, 20);

    auto *radius = new QComboBox(this);
    radius->setObjectName(QStringLiteral("nodeRadiusCombo"));
    addValues(radius, 0, 20);

    auto *multi = new QComboBox(this);
    multi->setObjectName(QStringLiteral("multiColorCombo"));
    multi->addItem(QStringLiteral("Single colour"), QStringLiteral("0"));
    multi->addItem(QStringLiteral("Multicolour"), QStringLiteral("1"));

    m_combos[int(Setting::FontFamily)] = family;
    m_combos[int(Setting::FontSize)] = size;
    m_combos[int(Setting::NodeSize)] = nodeSize;
    m_combos[int(Setting::NodeRadius)] = radius;
    m_combos[int(Setting::MultiColour)] = multi;

    form->addRow(QStringLiteral("Font"), family);
    form->addRow(QString(), m_fontInUse);
    form->addRow(QStringLiteral("Font size"), size);
    form->addRow(QStringLiteral("Node width"), nodeSize);
    form->addRow(QStringLiteral("Corner radius"), radius);
    form->addRow(QStringLiteral("Node colours"), multi);

    for (int i = 0; i < 5; ++i) {
        const auto which = Setting(i);
        m_combos[i]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        scrollPastUnlessFocused(m_combos[i]);
        connect(m_combos[i], &QComboBox::activated, this, [this, which](int index) {
            if (which == Setting::FontFamily)
                showFontInUse(selectedValue(which));
            Q_EMIT selectionChanged(which, index, selectedValue(which));
        });
    }
}

QComboBox *AppearancePanel::combo(Setting which) const
{
    return m_combos[int(which)];
}

QString fontFamilyInUse(const QString &family)
{
    return QFontInfo(QFont(family)).family();
}

void AppearancePanel::showFontInUse(const QString &family)
{
    const QString used = fontFamilyInUse(family);
    m_fontInUse->setText(used.compare(family, Qt::CaseInsensitive) == 0
                             ? QStringLiteral("Installed")
                             : QStringLiteral("Not installed: drawn in %1").arg(used));
}

void AppearancePanel::showValue(Setting which, const QString &value)
{
    QComboBox *box = combo(which);
    if (which == Setting::FontFamily) {
        if (box->findData(value) < 0)
            box->insertItem(1, value, value);
        showFontInUse(value);
    }
    const int index = which == Setting::MultiColour ? value.toInt() : box->findData(value);
    if (index >= 0 && index < box->count())
        box->setCurrentIndex(index);
}

QString AppearancePanel::selectedValue(Setting which) const
{
    const QComboBox *box = combo(which);
    if (which == Setting::MultiColour)
        return QString::number(box->currentIndex());
    return box->currentData().toString();
}

} // namespace plotwell
