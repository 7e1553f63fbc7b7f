#include "convert/ColumnTypes.h"

#include "base/AppState.h"
#include "model/ChartGrid.h"

#include <QRegularExpression>

namespace plotwell::convert {

bool hasColumnLabels(const ChartGrid &grid)
{
    return !grid.title(2).isEmpty() && !grid.title(3).isEmpty();
}

namespace {

/// A MySQL column type as a script may name it: a type name, its length or precision, UNSIGNED.
bool isSqlType(const QString &text)
{
    static const QRegularExpression type(
        QStringLiteral(
            "^\\s*(TINYINT|SMALLINT|MEDIUMINT|INT|INTEGER|BIGINT|DECIMAL|DEC|NUMERIC|FIXED|FLOAT|"
            "DOUBLE|REAL|BIT|BOOL|BOOLEAN|DATE|DATETIME|TIMESTAMP|TIME|YEAR|CHAR|VARCHAR|BINARY|"
            "VARBINARY|TINYBLOB|BLOB|MEDIUMBLOB|LONGBLOB|TINYTEXT|TEXT|MEDIUMTEXT|LONGTEXT|JSON)"
            "(\\s*\\(\\s*\\d{1,5}\\s*(,\\s*\\d{1,2}\\s*)?\\))?(\\s+UNSIGNED)?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    return type.match(text).hasMatch();
}

bool isNullConstraint(const QString &text)
{
    static const QRegularExpression constraint(QStringLiteral("^\\s*(NOT\\s+)?NULL\\s*$"),
                                               QRegularExpression::CaseInsensitiveOption);
    return constraint.match(text).hasMatch();
}

} // namespace

ColumnType columnTypeOf(const ChartGrid &grid, int column)
{
    const QString fallback = QStringLiteral("VARCHAR(255)");
    if (column < 1 || column > kRowCount - 1)
        return {fallback, true};
    // After a chart has been drawn these fields hold chart data: only SQL is taken from them.
    const QString type = grid.parent(column + 1).trimmed();
    const QString constraint = grid.position(column + 1).trimmed();
    const bool typeValid = type.isEmpty() || isSqlType(type);
    const bool constraintValid = constraint.isEmpty() || isNullConstraint(constraint);
    QString text = type.isEmpty() || !typeValid ? fallback : type.simplified();
    if (!constraint.isEmpty() && constraintValid)
        text += QLatin1Char(' ') + constraint.simplified().toUpper();
    return {text, typeValid && constraintValid};
}

QString getDataType(const ChartGrid &grid, int column)
{
    return columnTypeOf(grid, column).sql;
}

ConversionSettings conversionSettings(const ChartGrid &grid, const AppState &state, int htmlWidth)
{
    ConversionSettings settings;
    settings.tableName = grid.setting(ChartSetting::ChartTitle);
    for (int column = 1; column <= kRowCount - 1; ++column) {
        const ColumnType type = columnTypeOf(grid, column);
        settings.columnTypes.append(type.sql);
        if (!type.fromGrid)
            settings.columnsWithoutSqlType.append(column);
    }
    settings.hexBackBg = grid.setting(ChartSetting::HexBackBg);
    settings.hex1 = grid.colour(1);
    settings.hexLine = grid.setting(ChartSetting::HexLine);
    settings.hexLabels = grid.setting(ChartSetting::HexLabels);
    settings.hexItems = grid.setting(ChartSetting::HexItems);
    settings.appearance = state.appearance;
    // A window not laid out yet reports no width: the table keeps its default one.
    if (htmlWidth > 0)
        settings.htmlWidth = htmlWidth;
    return settings;
}

} // namespace plotwell::convert
