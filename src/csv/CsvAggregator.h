#pragma once

#include "csv/CsvParser.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <optional>

namespace plotwell::csv {

/// An immutable record of the keyed aggregator: values under the first record's keys, keys kept
/// in their order. With duplicate keys, a lookup by key finds the last value while `allKeys`
/// keeps every position.
class CsvOrderedDictionary
{
public:
    CsvOrderedDictionary() = default;
    /// `keys` and `values` must have the same length.
    CsvOrderedDictionary(QStringList keys, QStringList values);

    const QStringList &allKeys() const { return m_keys; }
    const QStringList &allValues() const { return m_values; }
    /// The number of distinct keys.
    qsizetype count() const { return m_dictionary.size(); }
    bool contains(const QString &key) const { return m_dictionary.contains(key); }
    /// The value under `key`, or nothing.
    std::optional<QString> value(const QString &key) const;
    /// The value in column `index` (0 <= index < allKeys().size()).
    const QString &valueAt(qsizetype index) const { return m_values.at(index); }
    const QString &operator[](qsizetype index) const { return valueAt(index); }
    const QHash<QString, QString> &dictionary() const { return m_dictionary; }

    friend bool operator==(const CsvOrderedDictionary &a, const CsvOrderedDictionary &b)
    {
        return a.m_dictionary == b.m_dictionary && a.m_keys == b.m_keys;
    }

private:
    QStringList m_keys;
    QStringList m_values;
    QHash<QString, QString> m_dictionary;
};

size_t qHash(const CsvOrderedDictionary &dictionary, size_t seed = 0);

/// Collects every record as a list of fields. On failure the records are dropped and the error
/// kept.
class CsvAggregator : public CsvParserDelegate
{
public:
    const QList<QStringList> &lines() const { return m_lines; }
    QList<QStringList> takeLines() { return std::exchange(m_lines, {}); }
    const QStringList &currentLine() const { return m_currentLine; }
    const std::optional<CsvError> &error() const { return m_error; }

    void parserDidBeginDocument(CsvParser &) override;
    void parserDidBeginLine(CsvParser &, qsizetype) override;
    void parserDidReadField(CsvParser &, QStringView field, qsizetype) override;
    void parserDidEndLine(CsvParser &, qsizetype) override;
    void parserDidFailWithError(CsvParser &, const CsvError &error) override;

protected:
    QList<QStringList> m_lines;
    QStringList m_currentLine;
    qsizetype m_lastLineSize = 0;
    std::optional<CsvError> m_error;
};

/// Takes the first record as keys and makes each later record a CsvOrderedDictionary. A record
/// with another number of fields cancels the parse with error code 2.
class CsvKeyedAggregator : public CsvAggregator
{
public:
    const QStringList &firstLine() const { return m_firstLine; }
    const QList<CsvOrderedDictionary> &records() const { return m_records; }
    QList<CsvOrderedDictionary> takeRecords() { return std::exchange(m_records, {}); }

    void parserDidBeginDocument(CsvParser &) override;
    void parserDidEndLine(CsvParser &, qsizetype) override;
    void parserDidFailWithError(CsvParser &, const CsvError &error) override;

private:
    QStringList m_firstLine;
    bool m_haveKeys = false;
    QList<CsvOrderedDictionary> m_records;
};

} // namespace plotwell::csv
