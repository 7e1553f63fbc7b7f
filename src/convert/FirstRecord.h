#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace plotwell {

/// The fields of a file's first record, read with the delimiter "," and no options, so a
/// quoted field keeps its quotes. The parse stops after that record, so the size of the rest of
/// the file does not matter. Nothing when the file holds no record or cannot be read.
[[nodiscard]] std::optional<QStringList> readFirstRecord(const QString &path);

} // namespace plotwell
