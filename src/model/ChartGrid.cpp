#include "model/ChartGrid.h"

#include <QRegularExpression>

#include <algorithm>

namespace plotwell {

namespace {

const ChartRow kNoRow;

std::optional<ChartSetting> settingOfSlot(int slot)
{
    switch (slot) {
    case kBackgroundSlot:
        return ChartSetting::HexBackBg;
    case kLabelSlot:
        return ChartSetting::HexLabels;
    case kItemSlot:
        return ChartSetting::HexItems;
    case kLineSlot:
        return ChartSetting::HexLine;
    default:
        return std::nullopt;
    }
}

} // namespace

const QString &ChartRow::field(RowField which) const
{
    switch (which) {
    case RowField::Title:
        return title;
    case RowField::Parent:
        return parent;
    case RowField::Position:
        return position;
    case RowField::Colour:
        break;
    }
    return colour;
}

QString &ChartRow::field(RowField which)
{
    return const_cast<QString &>(std::as_const(*this).field(which));
}

bool isValidRow(int row)
{
    return row >= 1 && row <= kRowCount;
}

RowPlace placeOfRow(int row)
{
    return {(row - 1) / kPageSize, (row - 1) % kPageSize + 1};
}

int rowAt(int page, int place)
{
    return page * kPageSize + place;
}

QString pageSuffix(int page)
{
    static const QString suffixes[kPageCount] = {QString(), QStringLiteral("c"),
                                                 QStringLiteral("d")};
    return page >= 0 && page < kPageCount ? suffixes[page] : QString();
}

QString fieldName(int row, RowField field)
{
    if (!isValidRow(row))
        return {};
    const RowPlace where = placeOfRow(row);
    const QString place = QString::number(where.place);
    const QString suffix = pageSuffix(where.page);
    switch (field) {
    case RowField::Title:
        return QStringLiteral("Period") + place + QStringLiteral("Title") + suffix;
    case RowField::Parent:
        return QStringLiteral("Period") + place + QStringLiteral("Item1") + suffix;
    case RowField::Position:
        return QStringLiteral("Period") + place + QStringLiteral("Item2") + suffix;
    case RowField::Colour:
        return QStringLiteral("hex") + place + suffix;
    }
    return {};
}

std::optional<RowFieldRef> parseFieldName(const QString &name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(?:Period([1-9][0-9]?)(Title|Item1|Item2)|hex([1-9][0-9]?))([cd]?)$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    const bool isColour = !match.captured(3).isEmpty();
    const int place = (isColour ? match.captured(3) : match.captured(1)).toInt();
    if (place < 1 || place > kPageSize)
        return std::nullopt;
    const QString suffix = match.captured(4);
    const int page = suffix.isEmpty() ? 0 : (suffix == QLatin1String("c") ? 1 : 2);
    RowFieldRef ref{rowAt(page, place), RowField::Colour};
    if (!isColour) {
        const QString stem = match.captured(2);
        ref.field = stem == QLatin1String("Title")   ? RowField::Title
                    : stem == QLatin1String("Item1") ? RowField::Parent
                                                     : RowField::Position;
    }
    return ref;
}

ChartGrid::ChartGrid(QObject *parent) : QObject(parent)
{}

const ChartRow &ChartGrid::row(int row) const
{
    return isValidRow(row) ? m_rows[std::size_t(row - 1)] : kNoRow;
}

QString ChartGrid::field(int row, RowField field) const
{
    return this->row(row).field(field);
}

void ChartGrid::setField(int row, RowField field, const QString &value)
{
    if (!isValidRow(row))
        return;
    QString &stored = m_rows[std::size_t(row - 1)].field(field);
    if (stored == value)
        return;
    stored = value;
    Q_EMIT rowChanged(row, field);
}

QList<ChartRow> ChartGrid::page(int page) const
{
    QList<ChartRow> rows;
    if (page < 0 || page >= kPageCount)
        return rows;
    for (int place = 1; place <= kPageSize; ++place)
        rows << row(rowAt(page, place));
    return rows;
}

QString ChartGrid::setting(ChartSetting which) const
{
    return m_settings[std::size_t(which)];
}

void ChartGrid::setSetting(ChartSetting which, const QString &value)
{
    QString &stored = m_settings[std::size_t(which)];
    if (stored == value)
        return;
    stored = value;
    Q_EMIT settingChanged(which);
}

bool ChartGrid::hasTitles() const
{
    return std::any_of(m_rows.begin(), m_rows.end(),
                       [](const ChartRow &row) { return !row.title.trimmed().isEmpty(); });
}

QString ChartGrid::slotText(int slot) const
{
    if (isValidRow(slot))
        return colour(slot);
    if (const auto setting = settingOfSlot(slot))
        return this->setting(*setting);
    return {};
}

void ChartGrid::setSlotText(int slot, const QString &value)
{
    if (isValidRow(slot))
        setColour(slot, value);
    else if (const auto setting = settingOfSlot(slot))
        setSetting(*setting, value);
}

const QStringList &ChartGrid::valueFieldNames()
{
    static const QStringList names = {
        QStringLiteral("item1"),  QStringLiteral("item2"),  QStringLiteral("item3"),
        QStringLiteral("item4"),  QStringLiteral("item5"),  QStringLiteral("item1b"),
        QStringLiteral("item2b"), QStringLiteral("item3b"), QStringLiteral("item4b"),
        QStringLiteral("item5b"), QStringLiteral("average")};
    return names;
}

QString ChartGrid::valueField(int index) const
{
    return index >= 0 && index < kValueFieldCount ? m_valueFields[std::size_t(index)] : QString();
}

void ChartGrid::setValueField(int index, const QString &value)
{
    if (index < 0 || index >= kValueFieldCount || m_valueFields[std::size_t(index)] == value)
        return;
    m_valueFields[std::size_t(index)] = value;
    Q_EMIT valueFieldChanged(index);
}

} // namespace plotwell
