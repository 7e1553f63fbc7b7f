#pragma once

#include "base/ChartAppearance.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace plotwell::convert {

enum class Format { Sql, Json, Xml, Html };

/// "sql", "json", "xml" or "html" (any case).
[[nodiscard]] std::optional<Format> formatFromName(QStringView name);

/// The texts that go with each output.
struct FormatTexts
{
    QLatin1StringView fileType;      // the save panel's file type
    QLatin1StringView startLog;      // logged when a generation starts; the SQL one has none
    QLatin1StringView completionLog; // logged when it is done
    QLatin1StringView failureLog;    // logged when it fails on its thread
};
[[nodiscard]] const FormatTexts &formatTexts(Format format);

/// Everything a converter needs to know besides the records, taken from the grid and the
/// appearance settings when a conversion starts, so that the writers never touch the grid
/// (the grid lives on the main thread; the writers run on a thread of their own).
struct ConversionSettings
{
    /// The chart title.
    QString tableName = QStringLiteral("table_name");
    /// SQL type of column c (from 1) at index c-1; columns past the list are "VARCHAR(255)".
    QStringList columnTypes;
    /// Columns (from 1) whose type in the grid was not SQL and was replaced.
    QList<int> columnsWithoutSqlType;

    // The table's look: colour texts, font and node settings.
    QString hexBackBg = QStringLiteral("#104E8B");
    QString hex1 = QStringLiteral("#FFFFFF");
    QString hexLine = QStringLiteral("#3388DD");
    QString hexLabels = QStringLiteral("#5483a2");
    QString hexItems = QStringLiteral("#FFFFFF");
    ChartAppearance appearance;
    int htmlWidth = 785;

    [[nodiscard]] QString columnType(int column) const;
};

} // namespace plotwell::convert
