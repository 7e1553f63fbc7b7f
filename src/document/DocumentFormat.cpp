#include "document/DocumentFormat.h"

#include <QStringDecoder>

namespace plotwell::document {

namespace {

const QString kQuote = QStringLiteral("\"");
const QString kFieldSeparator = QStringLiteral("\",\"");

bool endsPage(int row)
{
    return row % kPageSize == 0;
}

} // namespace

QString documentText(const ChartGrid &grid)
{
    QStringList header{grid.setting(ChartSetting::ChartTitle)};
    for (int i = 0; i < kValueFieldCount; ++i)
        header << grid.valueField(i);

    QString text = header.join(QLatin1Char(','));
    grid.forEachRow([&](int row, const ChartRow &fields) {
        text +=
            QLatin1Char('\n') + kQuote + fields.title + kFieldSeparator + fields.parent + kQuote;
        if (!endsPage(row))
            text += QLatin1Char(',');
    });
    return text;
}

QString buildPositionLine(const ChartGrid &grid)
{
    QStringList positions;
    grid.forEachRow([&](int, const ChartRow &fields) { positions << fields.position; });
    return positions.join(QLatin1Char('~'));
}

void applyPositionLine(ChartGrid &grid, const QString &positionLine)
{
    const QStringList positions = positionLine.split(QLatin1Char('~'));
    for (int row = 1; row <= kRowCount; ++row)
        grid.setPosition(row, positions.value(row - 1));
}

std::optional<SavedChart> parseSavedDocument(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);

    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() != kRowCount + 1)
        return std::nullopt;

    SavedChart chart;
    // The chart title may hold commas; the eleven value fields are the last pieces.
    const QStringList header = lines.first().split(QLatin1Char(','));
    if (header.size() < kValueFieldCount + 1)
        return std::nullopt;
    const qsizetype titlePieces = header.size() - kValueFieldCount;
    chart.chartTitle = header.mid(0, titlePieces).join(QLatin1Char(','));
    chart.valueFields = header.mid(titlePieces);

    for (int row = 1; row <= kRowCount; ++row) {
        QStringView line = lines.at(row);
        if (!endsPage(row)) {
            if (!line.endsWith(QLatin1Char(',')))
                return std::nullopt;
            line.chop(1);
        }
        if (line.size() < 2 + kFieldSeparator.size() || !line.startsWith(kQuote) ||
            !line.endsWith(kQuote))
            return std::nullopt;
        const QStringView inner = line.mid(1, line.size() - 2);
        const qsizetype separator = inner.indexOf(kFieldSeparator);
        if (separator < 0)
            return std::nullopt;
        chart.titles[std::size_t(row - 1)] = inner.left(separator).toString();
        chart.parents[std::size_t(row - 1)] =
            inner.mid(separator + kFieldSeparator.size()).toString();
    }
    return chart;
}

void restoreSavedChart(ChartGrid &grid, const SavedChart &chart)
{
    grid.setSetting(ChartSetting::ChartTitle, chart.chartTitle);
    grid.setSetting(ChartSetting::XaxisLabel, QString());
    grid.setSetting(ChartSetting::YaxisLabel, QString());
    for (int i = 0; i < kValueFieldCount; ++i)
        grid.setValueField(i, chart.valueFields.value(i));
    for (int row = 1; row <= kRowCount; ++row) {
        grid.setTitle(row, chart.titles[std::size_t(row - 1)]);
        grid.setParent(row, chart.parents[std::size_t(row - 1)]);
    }
}

} // namespace plotwell::document
