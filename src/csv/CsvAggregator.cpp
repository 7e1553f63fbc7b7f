#include "csv/CsvAggregator.h"

namespace plotwell::csv {

CsvOrderedDictionary::CsvOrderedDictionary(QStringList keys, QStringList values)
    : m_keys(std::move(keys)), m_values(std::move(values))
{
    Q_ASSERT(m_keys.size() == m_values.size());
    m_dictionary.reserve(m_keys.size());
    for (qsizetype i = 0; i < m_keys.size(); ++i)
        m_dictionary.insert(m_keys[i], m_values[i]);
}

std::optional<QString> CsvOrderedDictionary::value(const QString &key) const
{
    const auto it = m_dictionary.constFind(key);
    if (it == m_dictionary.cend())
        return std::nullopt;
    return *it;
}

size_t qHash(const CsvOrderedDictionary &dictionary, size_t seed)
{
    // Order-independent, like the equality of the underlying dictionaries.
    size_t h = seed;
    for (auto it = dictionary.dictionary().cbegin(); it != dictionary.dictionary().cend(); ++it)
        h ^= qHash(it.key(), 0) * 31 + qHash(it.value(), 0);
    return h;
}

void CsvAggregator::parserDidBeginDocument(CsvParser &)
{
    m_lines.clear();
    m_error.reset();
}

void CsvAggregator::parserDidBeginLine(CsvParser &, qsizetype)
{
    m_currentLine.clear();
    // Records mostly have as many fields as the one before: one allocation per record instead of
    // a growing list whose freed pieces fragment the heap.
    m_currentLine.reserve(m_lastLineSize);
}

void CsvAggregator::parserDidReadField(CsvParser &, QStringView field, qsizetype)
{
    m_currentLine.append(field.toString());
}

void CsvAggregator::parserDidEndLine(CsvParser &, qsizetype)
{
    m_lastLineSize = m_currentLine.size();
    m_lines.append(std::exchange(m_currentLine, {}));
}

void CsvAggregator::parserDidFailWithError(CsvParser &, const CsvError &error)
{
    m_error = error;
    m_lines.clear();
}

void CsvKeyedAggregator::parserDidBeginDocument(CsvParser &parser)
{
    CsvAggregator::parserDidBeginDocument(parser);
    m_firstLine.clear();
    m_haveKeys = false;
    m_records.clear();
}

void CsvKeyedAggregator::parserDidEndLine(CsvParser &parser, qsizetype)
{
    m_lastLineSize = m_currentLine.size();
    QStringList line = std::exchange(m_currentLine, {});
    if (!m_haveKeys) {
        m_firstLine = std::move(line);
        m_haveKeys = true;
        return;
    }
    if (line.size() != m_firstLine.size()) {
        parser.cancelParsing();
        m_error = CsvError{QString::fromLatin1(csvErrorDomain), IncorrectNumberOfFields, {}};
        m_records.clear();
        return;
    }
    m_records.append(CsvOrderedDictionary(m_firstLine, std::move(line)));
}

void CsvKeyedAggregator::parserDidFailWithError(CsvParser &parser, const CsvError &error)
{
    CsvAggregator::parserDidFailWithError(parser, error);
    m_records.clear();
}

} // namespace plotwell::csv
