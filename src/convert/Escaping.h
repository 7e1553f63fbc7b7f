#pragma once

#include "convert/OutputBuffer.h"

#include <QByteArray>
#include <QStringList>

namespace plotwell::convert {

/// A value inside a single-quoted MySQL/MariaDB string literal, the way the server reads it
/// back with its default SQL mode.
const EscapeTable &sqlValueEscapes();
/// A JSON string's content (RFC 8259: quote, backslash and every control character).
const EscapeTable &jsonEscapes();
/// The content of a CDATA section, which takes everything raw except what XML cannot hold at
/// all: CR would be read back as LF, so it leaves the section as a character reference;
/// characters that XML forbids become U+FFFD. "]]>" is split by the writer.
const EscapeTable &xmlCdataEscapes();
/// HTML text and attribute values.
const EscapeTable &htmlEscapes();

/// `text` escaped with `table`, as UTF-8.
[[nodiscard]] QByteArray escapedUtf8(QStringView text, const EscapeTable &table);

/// Column names as SQL identifiers for inside backticks. Spaces become "_", quotes and
/// backticks are removed; a name left empty is "Untitled" and its column number. Characters
/// that the server refuses in identifiers become "_", names are cut to 64 characters, and
/// names that the server would take for the same one (case does not count, and the key column
/// "record_id" is taken) get "_2", "_3"... so that the table can be created.
struct SqlColumn
{
    QString name;
    bool untitled = false;
};
[[nodiscard]] QList<SqlColumn> sqlColumns(const QStringList &names);
/// A table name for inside backticks: backticks doubled; empty becomes "table_name".
[[nodiscard]] QString sqlTableIdentifier(const QString &name);

/// JSON keys: quotes removed, spaces turned into "_", empty ones named "Untitled" and the
/// column number, repeated ones numbered, since a JSON reader keeps only one value per key.
[[nodiscard]] QStringList jsonKeys(const QStringList &names);

/// XML element names: quotes, "&", "<" and ">" removed, spaces turned into "_", every other
/// character that a name cannot hold turned into "_" (":" too, which would need a namespace),
/// and "_" put before a name that cannot start as it does ("2024"); empty names are
/// "Untitled" and the column number.
[[nodiscard]] QStringList xmlElementNames(const QStringList &names);

/// Removes the straight and curly single and double quotes.
[[nodiscard]] QString withoutQuotes(QString text);

} // namespace plotwell::convert
