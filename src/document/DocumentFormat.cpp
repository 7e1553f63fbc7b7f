#include "document/DocumentFormat.h"

#include <QFile>
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
    // A trip through another editor may leave CRLF line ends.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
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
        // A parent is a row reference; a title may hold the separator's characters.
        const qsizetype separator = inner.lastIndexOf(kFieldSeparator);
        if (separator < 0)
            return std::nullopt;
        chart.titles[std::size_t(row - 1)] = inner.left(separator).toString();
        chart.parents[std::size_t(row - 1)] =
            inner.mid(separator + kFieldSeparator.size()).toString();
    }
    return chart;
}

QString nearChartDocumentProblem(const QByteArray &bytes)
{
    QString text = QString::fromUtf8(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    const auto isRow = [](const QString &line) {
        return line.startsWith(kQuote) && line.contains(kFieldSeparator);
    };
    if (lines.size() < 3 || !isRow(lines.at(1)) || !isRow(lines.at(2)))
        return {};
    if (lines.size() != kRowCount + 1)
        return QStringLiteral("a chart document has a title line and %1 rows; this one has %2")
            .arg(kRowCount)
            .arg(lines.size() - 1);
    if (lines.first().count(QLatin1Char(',')) < kValueFieldCount)
        return QStringLiteral("the title line of a chart document holds the chart title and %1 "
                              "values, separated by \",\"; this one has fewer")
            .arg(kValueFieldCount);
    return QStringLiteral("its rows are not all \"title\",\"parent\" as a chart document's are");
}

bool looksBinary(const QByteArray &head)
{
    // UTF-16 text is full of NULs; it says so with its byte order mark.
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return false;
    return head.left(kBinaryProbeBytes).contains('\0');
}

ReadFile readTextFile(const QString &path, qint64 limit)
{
    ReadFile result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.problem = file.errorString();
        return result;
    }
    // Read up to one byte past the limit: a device such as /dev/zero has no size to ask.
    result.bytes = file.read(limit + 1);
    if (result.bytes.size() > limit) {
        result.bytes.clear();
        result.problem = QStringLiteral("larger than %1 MB, the most a chart document may hold")
                             .arg(limit / (1024 * 1024));
    } else if (looksBinary(result.bytes)) {
        result.bytes.clear();
        result.problem = QStringLiteral("not a text file (it holds binary data)");
    }
    return result;
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
