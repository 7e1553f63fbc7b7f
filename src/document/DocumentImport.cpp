#include "document/DocumentImport.h"

#include "app/Log.h"
#include "csv/CsvParser.h"

namespace plotwell::document {

namespace {

/// Collects the fields of record 1 and cancels the parse as soon as it ends.
class FirstRecordReader final : public csv::CsvParserDelegate
{
public:
    void parserDidBeginLine(csv::CsvParser &, qsizetype) override { m_started = true; }
    void parserDidReadField(csv::CsvParser &, QStringView field, qsizetype) override
    {
        m_fields << field.toString();
    }
    void parserDidEndLine(csv::CsvParser &parser, qsizetype) override { parser.cancelParsing(); }

    [[nodiscard]] std::optional<QStringList> record() const
    {
        if (!m_started)
            return std::nullopt;
        return m_fields;
    }

private:
    bool m_started = false;
    QStringList m_fields;
};

} // namespace

std::optional<QStringList> readFirstRecord(const QString &path)
{
    csv::CsvParser parser = csv::CsvParser::fromFile(path);
    FirstRecordReader reader;
    parser.setDelegate(&reader);
    parser.parse();
    return reader.record();
}

QString importedTitle(const QString &field, int k)
{
    QString title = field;
    for (const QChar quote : {QChar(u'"'), QChar(u'\u201C'), QChar(u'\u201D'), QChar(u'\''),
                              QChar(u'\u2018'), QChar(u'\u2019')})
        title.remove(quote);
    QString compact = title;
    compact.remove(QLatin1Char(' '));
    if (compact.isEmpty())
        return QStringLiteral("Untitled%1").arg(k + 1);
    return title;
}

bool importTitles(ChartGrid &grid, const QStringList &fields)
{
    const int usable = std::min<int>(int(fields.size()), kRowCount - 1);
    for (int k = 0; k < usable; ++k)
        grid.setTitle(k + 2, importedTitle(fields.at(k), k));
    diag(QStringLiteral("MAX COLS=%1").arg(fields.size()));
    return grid.title(2).isEmpty() || grid.title(3).isEmpty();
}

void initializeDataTypes(ChartGrid &grid)
{
    if (grid.setting(ChartSetting::ChartTitle).isEmpty())
        grid.setSetting(ChartSetting::ChartTitle, QStringLiteral("table_name"));
    grid.setTitle(1, QStringLiteral("record_id(PK)"));
    for (int row = 1; row <= kRowCount; ++row) {
        if (!grid.title(row).isEmpty() && grid.parent(row).isEmpty())
            grid.setParent(row, QStringLiteral("VARCHAR(255)"));
    }
}

} // namespace plotwell::document
