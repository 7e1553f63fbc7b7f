#include "ui/StaffRenderCommand.h"

#include "staff/StaffChart.h"
#include "staff/StaffImport.h"
#include "ui/OrganisationFile.h"

#include <QApplication>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

#include <optional>
#include <unistd.h>
#include <utility>

namespace plotwell {

namespace {

// How long one step (the drawing, a batch of sheets, the picture) may take.
constexpr int kStepPatienceMs = 10 * 60 * 1000;

constexpr char kUsage[] =
    "Usage: plotwell render --staff STAFF.csv -o OUT.pdf|OUT.png|OUT.svg [--paper a4|a3|letter]\n"
    "                       [--name-column C] [--title-column C] [--manager-column C]\n"
    "Draws a staff list of any size: a PDF on one page of the chart's size, or on sheets of the\n"
    "paper chosen (A3 when the chart is too large for one page). C is a header word or a column\n"
    "number from 1.\n";

struct StaffRenderOptions
{
    QString staff;
    QString output;
    QString paper;
    staff::ColumnChoices columns;
};

std::optional<StaffRenderOptions> parseOptions(const QStringList &args, QString &problem)
{
    StaffRenderOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--staff") && hasValue)
            options.staff = args[++i];
        else if ((arg == QLatin1String("-o") || arg == QLatin1String("--output")) && hasValue)
            options.output = args[++i];
        else if (arg == QLatin1String("--paper") && hasValue)
            options.paper = args[++i].toLower();
        else if (arg == QLatin1String("--name-column") && hasValue)
            options.columns.name = args[++i];
        else if (arg == QLatin1String("--title-column") && hasValue)
            options.columns.title = args[++i];
        else if (arg == QLatin1String("--manager-column") && hasValue)
            options.columns.manager = args[++i];
        else {
            const bool takesValue = QStringList{"--staff",         "-o",
                                                "--output",        "--paper",
                                                "--name-column",   "--title-column",
                                                "--manager-column"}
                                        .contains(arg);
            problem =
                takesValue ? missingValueProblem(arg) : QStringLiteral("unknown argument: ") + arg;
            return std::nullopt;
        }
    }
    const QString suffix = QFileInfo(options.output).suffix().toLower();
    if (options.staff.isEmpty() || options.output.isEmpty() ||
        !QStringList{"pdf", "png", "svg"}.contains(suffix)) {
        problem = QStringLiteral("give a staff list (--staff) and a .pdf, .png or .svg file (-o)");
        return std::nullopt;
    }
    if (!options.paper.isEmpty() && !QStringList{"a4", "a3", "letter"}.contains(options.paper)) {
        problem = QStringLiteral("the paper is a4, a3 or letter");
        return std::nullopt;
    }
    return options;
}

} // namespace

const char *staffRenderUsage()
{
    return kUsage;
}

QString missingValueProblem(const QString &option)
{
    // As the other commands' parser says it.
    return QStringLiteral("Missing value after '%1'.").arg(option);
}

int runStaffRenderCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString problem;
    const std::optional<StaffRenderOptions> options = parseOptions(args, problem);
    if (!options) {
        err << "plotwell render: " << problem << '\n' << kUsage;
        return 2;
    }
    const std::optional<staff::LoadedStaff> loaded =
        staff::loadStaffList(options->staff, options->columns, &problem);
    if (!loaded) {
        err << "plotwell render: " << options->staff << ": " << problem << '\n';
        return 1;
    }
    const staff::Organisation &organisation = loaded->organisation;
    for (const QString &line : staff::problemLines(organisation))
        err << "plotwell render: " << line << '\n';
    if (organisation.people.isEmpty()) {
        err << "plotwell render: " << options->staff << ": the staff list holds nobody\n";
        return 1;
    }
    const QString data = staff::staffDataString(
        organisation, staff::chartOrder(organisation, staff::everyone(organisation)));

    OrganisationFile file(data, options->output, options->paper);
    int exitCode = 1;
    // A terminal sees how far a long render has got, on one line that the end clears.
    const bool showProgress = isatty(fileno(stderr)) != 0;
    const auto clearProgress = [&] {
        if (showProgress) {
            err << "\r\033[K";
            err.flush();
        }
    };
    // An organisation of a hundred thousand people takes many minutes, step by step: the page
    // is given up on only when a step has gone on for that long without an answer.
    QTimer stalled;
    stalled.setSingleShot(true);
    stalled.setInterval(kStepPatienceMs);
    QObject::connect(&stalled, &QTimer::timeout, qApp, [&] {
        clearProgress();
        err << "plotwell render: the chart page did not finish drawing\n";
        QApplication::exit();
    });
    bool drawing = true;
    file.progressed = [&](int done, int of) {
        stalled.start();
        if (!showProgress)
            return;
        err << "\rplotwell render: ";
        if (of > 0)
            err << done << " of " << of << " sheets printed";
        else if (std::exchange(drawing, false))
            err << "drawing " << organisation.people.size() << " people";
        else
            err << "writing " << file.target();
        err << "\033[K";
        err.flush();
    };
    file.noted = [&](const QString &note) {
        clearProgress();
        err << "plotwell render: " << note << '\n';
    };
    file.finished = [&](const QString &why) {
        clearProgress();
        if (why.isEmpty()) {
            out << file.target() << '\n';
            exitCode = 0;
        } else {
            err << "plotwell render: " << file.target() << ": " << why << '\n';
        }
        QApplication::exit();
    };
    file.start(); // its first step starts the watch
    QApplication::exec();
    return exitCode;
}

} // namespace plotwell
