#include "document/DocumentImport.h"

#include "base/Log.h"

#include <utility>

namespace plotwell::document {

QString importedTitle(const QString &field, int k)
{
    // The first record comes as its raw fields: a quoted field loses its quotes and has its
    // doubled quotes made single, as CSV means them. What is left is the user's text
    // ("O'Brien", a nickname in quotes), except that a pair of curved quotes around the whole
    // field is how some editors quote it.
    QString title = field;
    if (title.size() >= 2 && title.startsWith(QLatin1Char('"')) && title.endsWith(QLatin1Char('"')))
        title = title.mid(1, title.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
    for (const auto &[open, close] :
         {std::pair{u'\u201C', u'\u201D'}, std::pair{u'\u2018', u'\u2019'}}) {
        if (title.size() >= 2 && title.front() == QChar(open) && title.back() == QChar(close)) {
            title = title.mid(1, title.size() - 2);
            break;
        }
    }
    QString compact = title;
    compact.remove(QLatin1Char(' '));
    if (compact.isEmpty())
        return QStringLiteral("Untitled%1").arg(k + 1);
    return title;
}

bool importTitles(ChartGrid &grid, const QStringList &fields)
{
    const int usable = std::min<int>(int(fields.size()), kRowCount - 1);
    for (int k = 0; k < usable; ++k)
        grid.setTitle(k + 2, importedTitle(fields.at(k), k));
    diag(QStringLiteral("MAX COLS=%1").arg(fields.size()));
    return grid.title(2).isEmpty() || grid.title(3).isEmpty();
}

void initializeDataTypes(ChartGrid &grid)
{
    if (grid.setting(ChartSetting::ChartTitle).isEmpty())
        grid.setSetting(ChartSetting::ChartTitle, QStringLiteral("table_name"));
    grid.setTitle(1, QStringLiteral("record_id(PK)"));
    for (int row = 1; row <= kRowCount; ++row) {
        if (!grid.title(row).isEmpty() && grid.parent(row).isEmpty())
            grid.setParent(row, QStringLiteral("VARCHAR(255)"));
    }
}

} // namespace plotwell::document
