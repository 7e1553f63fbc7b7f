#include "staff/StaffTable.h"

#include "csv/CsvDecoder.h"
#include "csv/CsvParser.h"
#include "staff/StaffColumns.h"

#include <QFile>
#include <QSysInfo>

#include <algorithm>
#include <tuple>

namespace plotwell::staff {

namespace {

bool isLineBreak(char16_t c)
{
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

/// Line breaks in `text`, a CR LF pair counting once.
int countLineBreaks(QStringView text)
{
    int lines = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!isLineBreak(c))
            continue;
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        ++lines;
    }
    return lines;
}

/// A raw field (the parser's text, quotes and all) as a value: trimmed, its quotes taken off
/// and doubled quotes made single.
QString fieldValue(QStringView raw)
{
    QStringView t = raw.trimmed();
    if (!t.startsWith(u'"'))
        return t.toString();
    const bool closed = t.size() >= 2 && t.endsWith(u'"');
    t = closed ? t.sliced(1, t.size() - 2) : t.sliced(1);
    QString value = t.toString();
    value.replace(QLatin1String("\"\""), QLatin1String("\""));
    return value.trimmed();
}

/// Follows the parser through the text it reads, so that each record gets the line it starts
/// on. The parser reports neither the blank lines it skips nor the line breaks inside quoted
/// fields, but without sanitizing its fields are the text verbatim: the record is found at the
/// cursor, and what lies between records is line breaks.
class LineFollower
{
public:
    LineFollower(QStringView text, QChar delimiter) : m_text(text), m_delimiter(delimiter) {}

    int lineOf(csv::CsvFields fields)
    {
        if (!m_inStep) {
            m_line += 1; // lost the text: count one record a line
            return m_line;
        }
        if (m_started)
            skipBreaks();
        m_started = true;
        const int line = m_line;
        qsizetype at = m_cursor;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) {
                if (at >= m_text.size() || m_text[at] != m_delimiter)
                    return loseStep(line);
                ++at;
            }
            const QStringView field = fields[i];
            if (m_text.sliced(at).left(field.size()) != field)
                return loseStep(line);
            m_line += countLineBreaks(field);
            at += field.size();
        }
        m_cursor = at;
        return line;
    }

private:
    void skipBreaks()
    {
        while (m_cursor < m_text.size() && isLineBreak(m_text[m_cursor].unicode())) {
            if (m_text[m_cursor] == u'\r' && m_cursor + 1 < m_text.size() &&
                m_text[m_cursor + 1] == u'\n')
                ++m_cursor;
            ++m_cursor;
            ++m_line;
        }
    }
    int loseStep(int line)
    {
        m_inStep = false;
        m_line = line;
        return line;
    }

    QStringView m_text;
    QChar m_delimiter;
    qsizetype m_cursor = 0;
    int m_line = 1;
    bool m_started = false;
    bool m_inStep = true;
};

class TableReader final : public csv::CsvParserDelegate
{
public:
    TableReader(StaffTable &table, QStringView text, qsizetype recordLimit = -1)
        : m_table(table), m_lines(text, table.delimiter), m_limit(recordLimit)
    {}

    bool readsWholeRecords() const override { return true; }
    void parserDidReadRecord(csv::CsvParser &parser, qsizetype, csv::CsvFields fields) override
    {
        const int line = m_lines.lineOf(fields);
        m_lastLine = line;
        if (parser.error())
            return; // the record the parse failed in is incomplete
        QStringList values;
        values.reserve(qsizetype(fields.size()));
        for (const QStringView field : fields)
            values.append(fieldValue(field));
        if (!m_haveHeader) {
            // Blank lines above the header are no header.
            if (std::all_of(values.begin(), values.end(), [](auto &v) { return v.isEmpty(); }))
                return;
            m_table.header = std::move(values);
            m_haveHeader = true;
        } else {
            m_table.records.append({std::move(values), line});
        }
        if (m_limit >= 0 && m_table.records.size() >= m_limit)
            parser.cancelParsing();
    }
    void parserDidFailWithError(csv::CsvParser &, const csv::CsvError &error) override
    {
        m_table.readError = error.description;
        m_table.readErrorLine = m_lastLine;
    }

private:
    StaffTable &m_table;
    LineFollower m_lines;
    qsizetype m_limit;
    bool m_haveHeader = false;
    int m_lastLine = 1;
};

/// Runs the parser over `text` (handed to it as UTF-16 in the machine's order, so it reads the
/// very characters the line follower sees).
void readInto(StaffTable &table, QStringView text, qsizetype recordLimit = -1)
{
    const QByteArray units = QByteArray::fromRawData(reinterpret_cast<const char *>(text.data()),
                                                     text.size() * qsizetype(sizeof(char16_t)));
    const auto order = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? csv::CsvEncoding::Utf16LE
                                                                     : csv::CsvEncoding::Utf16BE;
    csv::CsvParser parser(units, table.delimiter, order);
    TableReader reader(table, text, recordLimit);
    parser.setDelegate(&reader);
    parser.parse();
}

int headerRoles(const QStringList &header)
{
    const StaffColumns columns = guessColumns(header);
    return int(std::count_if(columns.columns.begin(), columns.columns.end(),
                             [](int c) { return c >= 0; }));
}

} // namespace

QChar sniffDelimiter(const QString &text)
{
    // The first records are enough, and a long file should not be parsed four times over.
    constexpr qsizetype kSample = 64 * 1024;
    constexpr qsizetype kSampleRecords = 20;
    const QStringView sample = QStringView(text).left(kSample);

    QChar best = u',';
    std::tuple<int, qsizetype, qsizetype> bestScore{-1, -1, -1};
    for (const QChar candidate : {QChar(u','), QChar(u';'), QChar(u'\t'), QChar(u'|')}) {
        StaffTable table;
        table.delimiter = candidate;
        readInto(table, sample, kSampleRecords);
        const qsizetype width = table.header.size();
        const auto even =
            std::count_if(table.records.begin(), table.records.end(),
                          [&](const StaffRecord &r) { return r.fields.size() == width; });
        const std::tuple<int, qsizetype, qsizetype> score{headerRoles(table.header), even, width};
        if (score > bestScore) {
            bestScore = score;
            best = candidate;
        }
    }
    return best;
}

StaffTable readStaffTable(const QByteArray &bytes, std::optional<QChar> delimiter)
{
    const csv::DecodedText decoded = csv::decodeWholeText(bytes);
    StaffTable table;
    table.encoding = decoded.encoding.encoding;
    table.byteOrderMark = decoded.encoding.markSize > 0;
    table.delimiter = delimiter ? *delimiter : sniffDelimiter(decoded.text);
    readInto(table, decoded.text);
    return table;
}

std::optional<StaffTable> readStaffFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return readStaffTable(file.readAll());
}

} // namespace plotwell::staff
