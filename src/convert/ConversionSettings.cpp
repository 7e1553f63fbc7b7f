#include "convert/ConversionSettings.h"

namespace plotwell::convert {

std::optional<Format> formatFromName(QStringView name)
{
    const QString lower = name.toString().toLower();
    if (lower == QLatin1String("sql"))
        return Format::Sql;
    if (lower == QLatin1String("json"))
        return Format::Json;
    if (lower == QLatin1String("xml"))
        return Format::Xml;
    if (lower == QLatin1String("html"))
        return Format::Html;
    return std::nullopt;
}

QString fileType(Format format)
{
    switch (format) {
    case Format::Sql:
        return QStringLiteral("sql");
    case Format::Json:
        return QStringLiteral("json");
    case Format::Xml:
        return QStringLiteral("xml");
    case Format::Html:
        return QStringLiteral("HTML");
    }
    return {};
}

QString startLogLine(Format format)
{
    switch (format) {
    case Format::Sql:
        return {};
    case Format::Json:
        return QStringLiteral(" STARTING JSON GENERATION..");
    case Format::Xml:
        return QStringLiteral(" STARTING XML GENERATION..");
    case Format::Html:
        return QStringLiteral(" STARTING HTML GENERATION..");
    }
    return {};
}

QString ConversionSettings::columnType(int column) const
{
    if (column >= 1 && column <= columnTypes.size())
        return columnTypes.at(column - 1);
    return QStringLiteral("VARCHAR(255)");
}

} // namespace plotwell::convert
