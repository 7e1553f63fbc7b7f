#include "document/DocumentFormat.h"

#include "colour/ColorLine.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace plotwell::document {

namespace {

const QString kQuote = QStringLiteral("\"");
const QString kFieldSeparator = QStringLiteral("\",\"");

bool endsPage(int row)
{
    return row % kPageSize == 0;
}

const QString kExtrasVersion = QStringLiteral("1");
const QString kPositionsName = QStringLiteral("positions");
const QString kColoursName = QStringLiteral("colours");
const QString kNodeWidthName = QStringLiteral("nodeWidth");
const QString kCornerRadiusName = QStringLiteral("cornerRadius");
const QString kColourModeName = QStringLiteral("colourMode");
const QString kFontFamilyName = QStringLiteral("fontFamily");
const QString kFontSizeName = QStringLiteral("fontSize");

QString doubledQuotes(QString text)
{
    return text.replace(kQuote, QStringLiteral("\"\""));
}

QString quoted(const QString &text)
{
    return kQuote + doubledQuotes(text) + kQuote;
}

bool holdsLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

/// A header field in standard CSV, left bare when that reads back the same (as earlier
/// versions wrote it). The chart title may keep its commas bare: the value fields are counted
/// from the end.
QString headerField(const QString &text, bool commaNeedsQuotes)
{
    const bool needsQuotes = text.contains(kQuote) || holdsLineBreak(text) ||
                             (commaNeedsQuotes && text.contains(QLatin1Char(',')));
    return needsQuotes ? quoted(text) : text;
}

/// Standard CSV records: fields split at commas, records at line breaks (LF, CR LF or CR)
/// outside quotes, a doubled quote inside quotes read as one. Nothing for an unclosed quote or
/// text after a closing quote.
std::optional<QList<QStringList>> csvRecords(QStringView text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool inQuotes = false;
    bool wasQuoted = false;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c != QLatin1Char('"')) {
                field += c;
            } else if (i + 1 < size && text[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else {
                inQuotes = false;
            }
            continue;
        }
        if (c == QLatin1Char(',') || c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            record << field;
            field.clear();
            wasQuoted = false;
            if (c != QLatin1Char(',')) {
                records << record;
                record.clear();
                if (c == QLatin1Char('\r') && i + 1 < size && text[i + 1] == QLatin1Char('\n'))
                    ++i;
            }
        } else if (c == QLatin1Char('"') && field.isEmpty() && !wasQuoted) {
            inQuotes = wasQuoted = true;
        } else if (wasQuoted) {
            return std::nullopt;
        } else {
            field += c;
        }
    }
    if (inQuotes)
        return std::nullopt;
    record << field;
    records << record;
    return records;
}

void readExtra(ChartExtras &extras, const QString &name, const QString &value)
{
    if (name == kPositionsName)
        extras.positionLine = value;
    else if (name == kColoursName)
        extras.colorLine = value;
    else if (name == kFontFamilyName)
        extras.fontFamily = value;
    else if (name == kNodeWidthName)
        extras.nodeWidth = appearanceNumber(value);
    else if (name == kCornerRadiusName)
        extras.cornerRadius = appearanceNumber(value);
    else if (name == kColourModeName)
        extras.colourMode = appearanceNumber(value);
    else if (name == kFontSizeName)
        extras.fontSize = appearanceNumber(value);
}

/// A file with extras, read as standard CSV; nothing when it is not one.
/// The header holds the chart title, which may itself hold commas, then the eleven value fields
/// as its last pieces. False when there are too few pieces for a header.
bool readHeader(const QStringList &header, SavedChart &chart)
{
    if (header.size() < kValueFieldCount + 1)
        return false;
    const qsizetype titlePieces = header.size() - kValueFieldCount;
    chart.chartTitle = header.mid(0, titlePieces).join(QLatin1Char(','));
    chart.valueFields = header.mid(titlePieces);
    return true;
}

std::optional<SavedChart> parseChartWithExtras(QStringView text)
{
    const std::optional<QList<QStringList>> records = csvRecords(text);
    if (!records || records->size() <= kRowCount + 1)
        return std::nullopt;
    const QStringList &marker = records->at(kRowCount + 1);
    if (marker.size() != 2 || marker.first() != kExtrasMarker)
        return std::nullopt;

    SavedChart chart;
    if (!readHeader(records->first(), chart))
        return std::nullopt;
    for (int row = 1; row <= kRowCount; ++row) {
        const QStringList &fields = records->at(row);
        const bool trailingComma = !endsPage(row);
        if (fields.size() != (trailingComma ? 3 : 2) || (trailingComma && !fields[2].isEmpty()))
            return std::nullopt;
        chart.titles[std::size_t(row - 1)] = fields[0];
        chart.parents[std::size_t(row - 1)] = fields[1];
    }
    ChartExtras extras;
    for (qsizetype i = kRowCount + 2; i < records->size(); ++i) {
        const QStringList &entry = records->at(i);
        if (entry.size() == 2)
            readExtra(extras, entry[0], entry[1]);
    }
    chart.extras = extras;
    return chart;
}

} // namespace

ChartExtras chartExtras(const ChartGrid &grid, const ChartAppearance &appearance)
{
    return {buildPositionLine(grid), buildColorLine(grid),  appearance.nodeWidth,
            appearance.cornerRadius, appearance.colourMode, appearance.fontFamily,
            appearance.fontSize};
}

void applyChartExtras(ChartGrid &grid, SwatchBoard &swatches, ChartAppearance &appearance,
                      const ChartExtras &extras)
{
    if (extras.colorLine && !extras.colorLine->isEmpty())
        applyColorLine(grid, swatches, *extras.colorLine, false);
    applyPositionLine(grid, extras.positionLine.value_or(QString()));
    appearance.nodeWidth = extras.nodeWidth.value_or(appearance.nodeWidth);
    appearance.cornerRadius = extras.cornerRadius.value_or(appearance.cornerRadius);
    appearance.colourMode = extras.colourMode.value_or(appearance.colourMode);
    appearance.fontFamily = extras.fontFamily.value_or(appearance.fontFamily);
    appearance.fontSize = extras.fontSize.value_or(appearance.fontSize);
}

QString documentText(const ChartGrid &grid, const std::optional<ChartExtras> &extras)
{
    // Earlier versions wrote every text verbatim; only a file with extras says it is CSV.
    const auto field = [&extras](const QString &text) {
        return extras ? doubledQuotes(text) : text;
    };
    QStringList header{extras ? headerField(grid.setting(ChartSetting::ChartTitle), false)
                              : grid.setting(ChartSetting::ChartTitle)};
    for (int i = 0; i < kValueFieldCount; ++i)
        header << (extras ? headerField(grid.valueField(i), true) : grid.valueField(i));

    QString text = header.join(QLatin1Char(','));
    grid.forEachRow([&](int row, const ChartRow &fields) {
        text += QLatin1Char('\n') + kQuote + field(fields.title) + kFieldSeparator +
                field(fields.parent) + kQuote;
        if (!endsPage(row))
            text += QLatin1Char(',');
    });
    if (!extras)
        return text;

    const auto add = [&text](const QString &name, const std::optional<QString> &value) {
        if (value)
            text += QLatin1Char('\n') + quoted(name) + QLatin1Char(',') + quoted(*value);
    };
    const auto number = [](std::optional<int> value) {
        return value ? std::optional<QString>(QString::number(*value)) : std::nullopt;
    };
    add(kExtrasMarker, kExtrasVersion);
    add(kPositionsName, extras->positionLine);
    add(kColoursName, extras->colorLine);
    add(kNodeWidthName, number(extras->nodeWidth));
    add(kCornerRadiusName, number(extras->cornerRadius));
    add(kColourModeName, number(extras->colourMode));
    add(kFontFamilyName, extras->fontFamily);
    add(kFontSizeName, number(extras->fontSize));
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
    // Read as CSV, a file with extras keeps the line breaks inside its titles as they are.
    if (auto chart = parseChartWithExtras(text))
        return chart;
    // A trip through another editor may leave CRLF line ends.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);

    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() != kRowCount + 1)
        return std::nullopt;

    SavedChart chart;
    if (!readHeader(lines.first().split(QLatin1Char(',')), chart))
        return std::nullopt;

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

std::optional<QString> writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
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
