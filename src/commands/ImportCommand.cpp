#include "commands/ImportCommand.h"

#include "document/DocumentFormat.h"
#include "model/ChartGrid.h"
#include "staff/StaffChart.h"
#include "staff/StaffImport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>

#include <cstdio>

namespace plotwell {

namespace {

constexpr const char *kUsage =
    "Usage: plotwell import STAFF.csv -o CHART.csv [--name-column C] [--title-column C]\n"
    "                       [--manager-column C]\n"
    "       C is a header word or a column number from 1. Above the grid's rows, draw the\n"
    "       staff list with: plotwell render --staff STAFF.csv -o OUT.pdf\n";

void printError(const QString &text)
{
    std::fprintf(stderr, "plotwell import: %s\n", qUtf8Printable(text));
}

} // namespace

int runImportCommand(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("plotwell.info=false"));
    QCommandLineParser parser;
    const QCommandLineOption outputOption(QStringLiteral("o"), QStringLiteral("Chart document."),
                                          QStringLiteral("output"));
    const QCommandLineOption nameOption(QStringLiteral("name-column"), QString(),
                                        QStringLiteral("column"));
    const QCommandLineOption titleOption(QStringLiteral("title-column"), QString(),
                                         QStringLiteral("column"));
    const QCommandLineOption managerOption(QStringLiteral("manager-column"), QString(),
                                           QStringLiteral("column"));
    parser.addOptions({outputOption, nameOption, titleOption, managerOption});
    if (!parser.parse(app.arguments()) || parser.positionalArguments().size() != 1 ||
        parser.value(outputOption).isEmpty()) {
        if (!parser.errorText().isEmpty())
            printError(parser.errorText());
        std::fputs(kUsage, stderr);
        return 2;
    }

    const staff::ColumnChoices choices{parser.value(nameOption), parser.value(titleOption),
                                       parser.value(managerOption)};
    QString error;
    const std::optional<staff::LoadedStaff> loaded =
        staff::loadStaffList(parser.positionalArguments().first(), choices, &error);
    if (!loaded) {
        printError(error);
        return 1;
    }
    const staff::Organisation &organisation = loaded->organisation;
    for (const QString &line : staff::problemLines(organisation))
        printError(line);

    ChartGrid grid;
    const QList<int> members = staff::chartOrder(organisation, staff::everyone(organisation));
    const staff::GridFill fill = staff::fillGrid(grid, organisation, members);
    if (!fill.filled) {
        printError(fill.message + QStringLiteral(" Draw it with plotwell render --staff, or "
                                                 "import one branch in the window."));
        return 1;
    }
    if (fill.people == 0) {
        printError(QStringLiteral("the staff list holds nobody"));
        return 1;
    }

    const QString output = parser.value(outputOption);
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(document::documentText(grid).toUtf8()) < 0 ||
        !file.commit()) {
        printError(output + QStringLiteral(": ") + file.errorString());
        return 1;
    }
    std::fprintf(stderr, "plotwell import: %d people written to %s\n", fill.people,
                 qUtf8Printable(output));
    return 0;
}

} // namespace plotwell
