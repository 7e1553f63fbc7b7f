#include "render/DataString.h"

#include "base/Log.h"
#include "model/ParentReferences.h"
#include "model/SampleCharts.h"

namespace plotwell {

namespace {

QString joinFields(const ChartRow &row)
{
    const QChar sep = QLatin1Char('_');
    return row.title + sep + row.parent + sep + row.position + sep + row.colour + sep;
}

} // namespace

AlertSpec reassignParentsAlert()
{
    return {kReassignParentsMessage, kReassignParentsInformative, {}, AlertSpec::Style::Warning};
}

AlertSpec noTopBoxAlert()
{
    return {QStringLiteral("Row 1 has no title."),
            QStringLiteral("The chart starts at row 1, its top box. Type a title there, or move "
                           "a row up to it (Alt+Up)."),
            {},
            AlertSpec::Style::Warning};
}

QString rowPiece(const ChartRow &row, int number)
{
    const QString numbered = QString::number(number) + QLatin1Char('*');
    const QString plain = joinFields(row) + numbered;
    if (number == 1 && plain.count(QLatin1Char('_')) == 4)
        return joinFields(row) + QLatin1Char('_') + numbered;
    return plain;
}

QString escapeDataString(QString text)
{
    // "~" first, so that a typed "~amp~" reaches the page as typed; "+" before the spaces become
    // "+", since the page reads "+" as a space.
    text.replace(QLatin1Char('~'), QLatin1String("~tilde~"));
    text.replace(QLatin1Char('+'), QLatin1String("~plus~"));
    text.replace(QLatin1Char(' '), QLatin1Char('+'));
    static const std::pair<QChar, QLatin1String> tokens[] = {
        {QLatin1Char('&'), QLatin1String("~amp~")},  {QLatin1Char('='), QLatin1String("~eq~")},
        {QLatin1Char('['), QLatin1String("~lbra~")}, {QLatin1Char(']'), QLatin1String("~rbra~")},
        {QLatin1Char('|'), QLatin1String("~pipe~")}, {QLatin1Char('%'), QLatin1String("~pct~")},
    };
    for (const auto &[character, token] : tokens)
        text.replace(character, token);
    return text;
}

RenderResult submitData(ChartGrid &grid, AppState &state)
{
    stripOffParentNames(grid);

    QString joined;
    // The colours go without their "#"; a title keeps every character it has.
    grid.forEachRow([&joined](int number, const ChartRow &row) {
        ChartRow sent = row;
        for (QString *field : {&sent.parent, &sent.position, &sent.colour})
            field->remove(QLatin1Char('#'));
        joined += rowPiece(sent, number);
    });
    joined.chop(1);

    QString data;
    if (titleHoldsItem(grid.title(1))) {
        state.chartTitle = grid.setting(ChartSetting::ChartTitle);
        data = joined;
    } else {
        state.chartTitle = kSampleChartTitle;
    }

    const QStringList blocks = data.split(QLatin1Char('*'));
    if (blocks.size() < 2) {
        diag(kRenderStoppedLine);
        return {RenderResult::NoLoad, {}};
    }
    // A "*" typed into row 1 or 2 moves the block boundaries; the page would misread every row.
    if (blocks.at(1).count(QLatin1Char('_')) + 1 <= 4 && !grid.title(2).isEmpty())
        return {RenderResult::ReassignParents, {}};

    return {RenderResult::Load, escapeDataString(data)};
}

} // namespace plotwell
