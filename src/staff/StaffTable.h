#pragma once

#include "csv/CsvParser.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace plotwell::staff {

/// One data record of the file and the line of the file it starts on (from 1).
struct StaffRecord
{
    QStringList fields; ///< unquoted and trimmed
    int line = 0;
};

/// A staff list as read: the header, the records and how the file was written.
struct StaffTable
{
    QStringList header;
    QList<StaffRecord> records;
    QChar delimiter = u',';
    /// Decided by the CSV reader's rule, but over the whole file: a "é" on the last line still
    /// makes an otherwise plain file Windows-1252.
    csv::CsvEncoding encoding = csv::CsvEncoding::Utf8;
    bool byteOrderMark = false;
    /// The parser stopped early (a character after a closing quote): what it said and the line
    /// it stopped on. The records before it are kept.
    std::optional<QString> readError;
    int readErrorLine = 0;
};

/// The delimiter among comma, semicolon, tab and pipe that reads the first records best: the
/// one whose header holds the most known column words, then the one that gives the most records
/// as many fields as the header, then the one with the most header fields; comma on a tie.
[[nodiscard]] QChar sniffDelimiter(const QString &text);

/// Reads a staff list through the CSV parser: decodes it, sniffs the delimiter (unless one is
/// given), takes the first record as the header, and numbers every record by the line of the
/// file it starts on, counting blank lines and line breaks inside quoted fields.
[[nodiscard]] StaffTable readStaffTable(const QByteArray &bytes,
                                        std::optional<QChar> delimiter = std::nullopt);

/// The same for a file; nothing when it cannot be read (`error` then says why).
[[nodiscard]] std::optional<StaffTable> readStaffFile(const QString &path,
                                                      QString *error = nullptr);

} // namespace plotwell::staff
