#include "staff/StaffImport.h"

namespace plotwell::staff {

QString applyColumnChoices(const QStringList &header, const ColumnChoices &choices,
                           StaffColumns &columns)
{
    const struct
    {
        const QString &text;
        StaffRole role;
        const char *what;
    } named[] = {{choices.name, StaffRole::Name, "name"},
                 {choices.title, StaffRole::Title, "title"},
                 {choices.manager, StaffRole::Manager, "manager"}};
    for (const auto &choice : named) {
        if (choice.text.isEmpty())
            continue;
        const int column = findColumn(header, choice.text);
        if (column < 0)
            return QStringLiteral("the %1 column \"%2\" is not in the header (%3)")
                .arg(QLatin1String(choice.what), choice.text, header.join(QStringLiteral(", ")));
        if (choice.role == StaffRole::Name)
            columns.setNameColumn(column);
        else
            columns.setColumn(choice.role, column);
    }
    if (!columns.hasName())
        return QStringLiteral("no column holds the names (header: %1); name one with "
                              "--name-column")
            .arg(header.join(QStringLiteral(", ")));
    return {};
}

std::optional<LoadedStaff> loadStaffList(const QString &path, const ColumnChoices &choices,
                                         QString *error)
{
    QString problem;
    std::optional<StaffTable> table = readStaffFile(path, &problem);
    if (!table) {
        if (error)
            *error = problem;
        return std::nullopt;
    }
    LoadedStaff loaded{std::move(*table), {}, {}};
    loaded.columns = guessColumns(loaded.table.header);
    problem = applyColumnChoices(loaded.table.header, choices, loaded.columns);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return std::nullopt;
    }
    loaded.organisation = buildOrganisation(loaded.table, loaded.columns);
    return loaded;
}

} // namespace plotwell::staff
