#include "model/SampleCharts.h"

#include "model/GridClearing.h"
#include "model/NodePositions.h"

#include <array>

namespace plotwell {

namespace {

struct SampleRow
{
    const char16_t *title;
    const char16_t *parent;
};

constexpr std::array<SampleRow, 11> kFlatRows = {{
    {u"Niall Brent(CEO)", u""},
    {u"Tobin Marsh(Public Relations)", u"1_Niall Brent(CEO)"},
    {u"Ilse Varga(Business Development)", u"1_Niall Brent(CEO)"},
    {u"Cyrus Pell(Global Research)", u"1_Niall Brent(CEO)"},
    {u"Ansel Drury(Human Resources)", u"1_Niall Brent(CEO)"},
    {u"Mara Quill(Mergers & acquisitions)", u"3_Ilse Varga(Business Development)"},
    {u"Odell Fenn(Marketing)", u"3_Ilse Varga(Business Development)"},
    {u"Rufus Lorne(Talent Development)", u"5_Ansel Drury(Human Resources)"},
    {u"Petra Hale(Recruiting)", u"5_Ansel Drury(Human Resources)"},
    {u"Emrys Tove(International Business)", u"1_Niall Brent(CEO)"},
    {u"Jory Kemble(Social Media Stategist)", u"1_Niall Brent(CEO)"},
}};

// Rows 12 and 13 get markers without titles: they stay empty rows.
const std::array<QString, 13> &flatMarkers()
{
    static const std::array<QString, 13> markers = {
        kLeftMarker,   kBottomMarker, kRightMarker,  kBottomMarker, kLeftMarker,
        kBottomMarker, kLeftMarker,   kBottomMarker, kRightMarker,  kBottomMarker,
        kBottomMarker, kBottomMarker, kLeftMarker};
    return markers;
}

struct SampleDifference
{
    int row;
    RowField field;
    const char16_t *value;
};

constexpr std::array<SampleDifference, 3> kMultiLevelDifferences = {{
    {3, RowField::Parent, u""},
    {5, RowField::Position, u"NULL"},
    {9, RowField::Parent, u"3_Ilse Varga(Business Development)"},
}};

template <std::size_t N>
void loadSample(ChartGrid &grid, AppState &state, const std::array<SampleDifference, N> &changes)
{
    clearFields(grid);
    auto value = [&changes](int row, RowField field, const QString &flat) {
        for (const SampleDifference &change : changes) {
            if (change.row == row && change.field == field)
                return QString::fromUtf16(change.value);
        }
        return flat;
    };
    for (int row = 1; row <= int(kFlatRows.size()); ++row) {
        const SampleRow &sample = kFlatRows[std::size_t(row - 1)];
        grid.setTitle(row, value(row, RowField::Title, QString::fromUtf16(sample.title)));
        grid.setParent(row, value(row, RowField::Parent, QString::fromUtf16(sample.parent)));
    }
    for (int row = 1; row <= int(flatMarkers().size()); ++row) {
        grid.setPosition(row, value(row, RowField::Position, flatMarkers()[std::size_t(row - 1)]));
    }
    grid.setSetting(ChartSetting::ChartTitle, kSampleChartTitle);
    state.chartTitle = grid.setting(ChartSetting::ChartTitle);
}

} // namespace

AlertSpec sampleChoiceAlert()
{
    return {QStringLiteral("This Action will clear the grid & load sample data"),
            QStringLiteral("Select an Option."),
            {QStringLiteral("Sample 1"), QStringLiteral("Sample 2(Multi Level)"),
             QStringLiteral("Cancel")},
            AlertSpec::Style::Warning};
}

void loadSampleData(ChartGrid &grid, AppState &state)
{
    loadSample(grid, state, std::array<SampleDifference, 0>{});
}

void loadSampleData2(ChartGrid &grid, AppState &state)
{
    loadSample(grid, state, kMultiLevelDifferences);
}

} // namespace plotwell
