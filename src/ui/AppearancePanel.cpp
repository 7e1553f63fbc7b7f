#include "ui/AppearancePanel.h"

#include <QComboBox>
#include <QFontDatabase>
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
    QStringList families = QFontDatabase::families();
    families.removeAll(QStringLiteral("Optima"));
    family->addItem(QStringLiteral("Optima"), QStringLiteral("Optima"));
    for (const QString &name : families) {
        if (!QFontDatabase::isPrivateFamily(name))
            family->addItem(name, name);
    }

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
    form->addRow(QStringLiteral("Font size"), size);
    form->addRow(QStringLiteral("Node width"), nodeSize);
    form->addRow(QStringLiteral("Corner radius"), radius);
    form->addRow(QStringLiteral("Node colours"), multi);

    for (int i = 0; i < 5; ++i) {
        const auto which = Setting(i);
        m_combos[i]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(m_combos[i], &QComboBox::activated, this, [this, which](int index) {
            Q_EMIT selectionChanged(which, index, selectedValue(which));
        });
    }
}

QComboBox *AppearancePanel::combo(Setting which) const
{
    return m_combos[int(which)];
}

void AppearancePanel::showValue(Setting which, const QString &value)
{
    QComboBox *box = combo(which);
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
