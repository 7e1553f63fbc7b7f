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

const FormatTexts &formatTexts(Format format)
{
    static const FormatTexts sql{QLatin1StringView("sql"), QLatin1StringView(),
                                 QLatin1StringView("SQL generation complete."),
                                 QLatin1StringView("Error Occured at SQL Thread.")};
    static const FormatTexts json{QLatin1StringView("json"),
                                  QLatin1StringView(" STARTING JSON GENERATION.."),
                                  QLatin1StringView("JSON generation done"),
                                  QLatin1StringView("Error Occured at JSON Thread.")};
    static const FormatTexts xml{QLatin1StringView("xml"),
                                 QLatin1StringView(" STARTING XML GENERATION.."),
                                 QLatin1StringView("XML generation done"),
                                 QLatin1StringView("Error Occured at XML Thread.")};
    static const FormatTexts html{QLatin1StringView("HTML"),
                                  QLatin1StringView(" STARTING HTML GENERATION.."),
                                  QLatin1StringView("Completed.. Writing HTML"),
                                  QLatin1StringView("Error Occured at HTML Thread.")};
    switch (format) {
    case Format::Sql:
        return sql;
    case Format::Json:
        return json;
    case Format::Xml:
        return xml;
    case Format::Html:
        break;
    }
    return html;
}

QString ConversionSettings::columnType(int column) const
{
    if (column >= 1 && column <= columnTypes.size())
        return columnTypes.at(column - 1);
    return QStringLiteral("VARCHAR(255)");
}

} // namespace plotwell::convert
