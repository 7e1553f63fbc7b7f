#pragma once

#include "csv/CsvAggregator.h"

#include <QList>
#include <QStringList>
#include <QUrl>

#include <stdexcept>
#include <variant>

namespace plotwell::csv {

/// What a convenience entry read: the records, or the error that stopped the parse. Also says
/// whether the text was damaged, so that a caller can tell the user.
template <typename T> class [[nodiscard]] CsvResult
{
public:
    CsvResult(T value) : m_content(std::move(value)) {}
    CsvResult(CsvError error) : m_content(std::move(error)) {}

    bool ok() const { return m_content.index() == 0; }
    explicit operator bool() const { return ok(); }

    /// The records; throws std::logic_error when the parse failed.
    const T &value() const &
    {
        check();
        return std::get<0>(m_content);
    }
    T value() &&
    {
        check();
        return std::move(std::get<0>(m_content));
    }
    /// The error; throws std::logic_error when the parse succeeded.
    const CsvError &error() const
    {
        if (ok())
            throw std::logic_error("CsvResult holds records, not an error");
        return std::get<1>(m_content);
    }

    /// Characters that stood in for undecodable bytes.
    qsizetype replacementCharacterCount = 0;
    /// The input ended inside a quoted field (its text is the last field).
    bool endedInsideQuotedField = false;

private:
    void check() const
    {
        if (!ok())
            throw std::logic_error("CsvResult holds an error, not records");
    }
    std::variant<T, CsvError> m_content;
};

using CsvRecords = QList<QStringList>;
using CsvKeyedRecords = QList<CsvOrderedDictionary>;

// Each entry builds a parser, attaches a fresh aggregator, applies `options`, parses and returns
// the records or the error. The file and URL forms fail with code 3 when the file cannot be read;
// the string form reads the string's UTF-8 bytes. UseKeyedAggregator is refused by the record
// forms (std::invalid_argument): ask the keyed forms, which always use the first record as keys.

CsvResult<CsvRecords> csvRecordsFromFile(const QString &path, CsvOptions options = {},
                                         QChar delimiter = u',');
CsvResult<CsvRecords> csvRecordsFromUrl(const QUrl &fileUrl, CsvOptions options = {},
                                        QChar delimiter = u',');
CsvResult<CsvRecords> csvRecordsFromString(const QString &text, CsvOptions options = {},
                                           QChar delimiter = u',');
CsvResult<CsvRecords> csvRecordsFromBytes(const QByteArray &bytes, CsvOptions options = {},
                                          QChar delimiter = u',');

CsvResult<CsvKeyedRecords> csvKeyedRecordsFromFile(const QString &path, CsvOptions options = {},
                                                   QChar delimiter = u',');
CsvResult<CsvKeyedRecords> csvKeyedRecordsFromUrl(const QUrl &fileUrl, CsvOptions options = {},
                                                  QChar delimiter = u',');
CsvResult<CsvKeyedRecords> csvKeyedRecordsFromString(const QString &text, CsvOptions options = {},
                                                     QChar delimiter = u',');

} // namespace plotwell::csv
