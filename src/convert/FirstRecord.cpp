#include "convert/FirstRecord.h"

#include "csv/CsvParser.h"

namespace plotwell {

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

} // namespace plotwell
