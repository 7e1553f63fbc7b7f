#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace plotwell {

inline constexpr int kRowCount = 93;
inline constexpr int kPageSize = 31;
inline constexpr int kPageCount = 3;
/// Rows 1-93, then background, labels, items and lines.
inline constexpr int kColourSlotCount = 97;
inline constexpr int kBackgroundSlot = 94;
inline constexpr int kLabelSlot = 95;
inline constexpr int kItemSlot = 96;
inline constexpr int kLineSlot = 97;
inline constexpr int kValueFieldCount = 11;

/// The four text fields of a row.
enum class RowField { Title, Parent, Position, Colour };

/// One box of the chart. Every value is text, as the window shows it.
struct ChartRow
{
    QString title;
    QString parent;   // parent reference: "", "N_title", "0_CLEAR PARENT" or a bare number
    QString position; // "NOT NULL", "NULL", "u" or anything else
    QString colour;   // "#RRGGBB"

    /// A row without a title is an empty row; it still takes part in every walk.
    [[nodiscard]] bool isEmpty() const { return title.isEmpty(); }
    [[nodiscard]] const QString &field(RowField which) const;
    QString &field(RowField which);
    bool operator==(const ChartRow &) const = default;
};

/// Where a row sits in the three pages of 31 rows: page 0 has no suffix, page 1 is "c" and
/// page 2 is "d"; place is 1..31.
struct RowPlace
{
    int page = 0;
    int place = 1;
};

[[nodiscard]] bool isValidRow(int row);
[[nodiscard]] RowPlace placeOfRow(int row);
[[nodiscard]] int rowAt(int page, int place);
[[nodiscard]] QString pageSuffix(int page);

/// The window's field name of a row field: `Period5Title`, `Period5Item1c` (parent),
/// `Period5Item2d` (position), `hex5`.
[[nodiscard]] QString fieldName(int row, RowField field);

struct RowFieldRef
{
    int row = 0;
    RowField field = RowField::Title;
    bool operator==(const RowFieldRef &) const = default;
};
/// The other way round: `Period5Item1c` is row 36's parent. Nothing for unknown names.
[[nodiscard]] std::optional<RowFieldRef> parseFieldName(const QString &name);

/// Chart-wide text settings held in the window's fields.
enum class ChartSetting {
    ChartTitle, // `chartTitle`, the title typed by the user
    XaxisLabel,
    YaxisLabel,
    HexBackBg, // colour slot 94
    HexLabels, // slot 95
    HexItems,  // slot 96
    HexLine,   // slot 97
    Ctype,     // chart-type code, "3dcol" once the view has loaded
};

/// The 93 rows of the chart and its chart-wide settings: the single source of truth that the
/// window's fields display and edit. Rows are numbered 1..93; out-of-range rows read as empty
/// text and ignore writes. Every write that changes a value emits a change signal.
class ChartGrid : public QObject
{
    Q_OBJECT
public:
    explicit ChartGrid(QObject *parent = nullptr);

    [[nodiscard]] const ChartRow &row(int row) const;
    [[nodiscard]] QString field(int row, RowField field) const;
    void setField(int row, RowField field, const QString &value);

    [[nodiscard]] QString title(int row) const { return field(row, RowField::Title); }
    [[nodiscard]] QString parent(int row) const { return field(row, RowField::Parent); }
    [[nodiscard]] QString position(int row) const { return field(row, RowField::Position); }
    [[nodiscard]] QString colour(int row) const { return field(row, RowField::Colour); }
    void setTitle(int row, const QString &value) { setField(row, RowField::Title, value); }
    void setParent(int row, const QString &value) { setField(row, RowField::Parent, value); }
    void setPosition(int row, const QString &value) { setField(row, RowField::Position, value); }
    void setColour(int row, const QString &value) { setField(row, RowField::Colour, value); }

    /// Whether any row has a title that is more than spaces.
    [[nodiscard]] bool hasTitles() const;

    /// Rows 1-31 of page 0, 1 or 2.
    [[nodiscard]] QList<ChartRow> page(int page) const;

    /// Visits rows 1..93 in order.
    template <typename Visit> void forEachRow(Visit &&visit) const
    {
        for (int r = 1; r <= kRowCount; ++r)
            visit(r, m_rows[std::size_t(r - 1)]);
    }

    [[nodiscard]] QString setting(ChartSetting which) const;
    void setSetting(ChartSetting which, const QString &value);

    /// Colour slot texts 1..97: rows 1-93, then background, labels, items, lines.
    [[nodiscard]] QString slotText(int slot) const;
    void setSlotText(int slot, const QString &value);

    /// The eleven chart-wide value fields (`item1`..`item5`, `item1b`..`item5b`, `average`)
    /// that only other chart types use; kept as opaque text for the document header.
    [[nodiscard]] static const QStringList &valueFieldNames();
    [[nodiscard]] QString valueField(int index) const;
    void setValueField(int index, const QString &value);

Q_SIGNALS:
    void rowChanged(int row, plotwell::RowField field);
    void settingChanged(plotwell::ChartSetting setting);
    void valueFieldChanged(int index);

private:
    std::array<ChartRow, kRowCount> m_rows;
    std::array<QString, 8> m_settings;
    std::array<QString, kValueFieldCount> m_valueFields;
};

} // namespace plotwell
