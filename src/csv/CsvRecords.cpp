#include "csv/CsvRecords.h"

namespace plotwell::csv {

namespace {

template <typename T, typename Aggregator, typename Take>
CsvResult<T> run(CsvParser &parser, CsvOptions options, Take take)
{
    Aggregator aggregator;
    parser.applyOptions(options);
    parser.setDelegate(&aggregator);
    parser.parse();
    CsvResult<T> result =
        aggregator.error() ? CsvResult<T>(*aggregator.error()) : CsvResult<T>(take(aggregator));
    result.replacementCharacterCount = parser.replacementCharacterCount();
    result.endedInsideQuotedField = parser.endedInsideQuotedField();
    return result;
}

CsvResult<CsvRecords> records(CsvParser &&parser, CsvOptions options)
{
    if (options.testFlag(UseKeyedAggregator))
        throw std::invalid_argument(
            "UseKeyedAggregator gives keyed records: use the csvKeyedRecords entries");
    return run<CsvRecords, CsvAggregator>(parser, options,
                                          [](CsvAggregator &a) { return a.takeLines(); });
}

CsvResult<CsvKeyedRecords> keyedRecords(CsvParser &&parser, CsvOptions options)
{
    return run<CsvKeyedRecords, CsvKeyedAggregator>(
        parser, options, [](CsvKeyedAggregator &a) { return a.takeRecords(); });
}

} // namespace

CsvResult<CsvRecords> csvRecordsFromFile(const QString &path, CsvOptions options, QChar delimiter)
{
    return records(CsvParser::fromFile(path, delimiter), options);
}

CsvResult<CsvRecords> csvRecordsFromUrl(const QUrl &fileUrl, CsvOptions options, QChar delimiter)
{
    return records(CsvParser(fileUrl, delimiter), options);
}

CsvResult<CsvRecords> csvRecordsFromString(const QString &text, CsvOptions options, QChar delimiter)
{
    return records(CsvParser::fromString(text, delimiter), options);
}

CsvResult<CsvRecords> csvRecordsFromBytes(const QByteArray &bytes, CsvOptions options,
                                          QChar delimiter)
{
    return records(CsvParser(bytes, delimiter), options);
}

CsvResult<CsvKeyedRecords> csvKeyedRecordsFromFile(const QString &path, CsvOptions options,
                                                   QChar delimiter)
{
    return keyedRecords(CsvParser::fromFile(path, delimiter), options);
}

CsvResult<CsvKeyedRecords> csvKeyedRecordsFromUrl(const QUrl &fileUrl, CsvOptions options,
                                                  QChar delimiter)
{
    return keyedRecords(CsvParser(fileUrl, delimiter), options);
}

CsvResult<CsvKeyedRecords> csvKeyedRecordsFromString(const QString &text, CsvOptions options,
                                                     QChar delimiter)
{
    return keyedRecords(CsvParser::fromString(text, delimiter), options);
}

} // namespace plotwell::csv
