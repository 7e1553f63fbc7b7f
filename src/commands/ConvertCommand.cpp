#include "commands/ConvertCommand.h"

#include "base/Progress.h"
#include "convert/ConversionJob.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace plotwell::convert {

namespace {

constexpr const char *kUsage =
    "Usage: plotwell convert --to sql|json|xml|html INPUT.csv -o OUTPUT [--table NAME]\n"
    "Reads INPUT.csv and writes OUTPUT whole, or leaves it as it was when the conversion fails.\n"
    "Exit status: 0 converted, 1 failed, 2 wrong arguments or refused.\n";

void printError(const QString &text)
{
    std::fprintf(stderr, "plotwell convert: %s\n", qUtf8Printable(text));
}

} // namespace

int runConvertCommand(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The diagnostic lines are for the desktop log; here they would bury the command's own
    // output. QT_LOGGING_RULES still turns them on.
    QLoggingCategory::setFilterRules(QStringLiteral("plotwell.info=false"));
    QCommandLineParser parser;
    const QCommandLineOption toOption(QStringLiteral("to"),
                                      QStringLiteral("Output format: sql, json, xml or html."),
                                      QStringLiteral("format"));
    const QCommandLineOption outputOption(QStringLiteral("o"), QStringLiteral("Output file."),
                                          QStringLiteral("output"));
    const QCommandLineOption tableOption(QStringLiteral("table"),
                                         QStringLiteral("SQL table name (default table_name)."),
                                         QStringLiteral("name"));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help."));
    parser.addOptions({toOption, outputOption, tableOption, helpOption});
    parser.addPositionalArgument(QStringLiteral("INPUT.csv"), QStringLiteral("The CSV file."));

    QStringList arguments = app.arguments();
    if (!parser.parse(arguments)) {
        printError(parser.errorText());
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (parser.isSet(helpOption)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::optional<Format> format = formatFromName(parser.value(toOption));
    const QStringList inputs = parser.positionalArguments();
    if (!format || inputs.size() != 1 || parser.value(outputOption).isEmpty()) {
        if (parser.isSet(toOption) && !format)
            printError(QStringLiteral("unknown format \"%1\"").arg(parser.value(toOption)));
        std::fputs(kUsage, stderr);
        return 2;
    }
    const QString input = inputs.first();
    const QString output = parser.value(outputOption);
    if (isSameFile(input, output)) {
        printError(sameFileRefusal(output));
        return 2;
    }

    ConversionSettings settings;
    if (parser.isSet(tableOption))
        settings.tableName = parser.value(tableOption);

    ConversionJob job;
    job.setValidatesXml(false); // the writer keeps XML well-formed; a second pass would only slow
    const bool showProgress = isatty(fileno(stderr)) != 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &job, [&] {
        std::fprintf(stderr, "\rConverting %s: %s", qUtf8Printable(QFileInfo(input).fileName()),
                     qUtf8Printable(ProgressMonitor::doneLabel(job.progress())));
        std::fflush(stderr);
    });
    int exitCode = 1;
    QObject::connect(&job, &ConversionJob::finished, &app, [&](bool success, const QString &) {
        ticker.stop();
        if (showProgress)
            std::fputs("\r\033[K", stderr);
        const ConversionResult &result = job.lastResult();
        if (success)
            std::fprintf(stderr, "plotwell convert: %lld record(s) written to %s\n",
                         static_cast<long long>(result.recordCount), qUtf8Printable(output));
        else
            printError(result.error);
        for (const QString &note : result.notes())
            printError(note);
        exitCode = success ? 0 : result.refused ? 2 : 1;
        app.quit();
    });
    QString refusal;
    if (!job.start(*format, input, output, settings, &refusal)) {
        printError(refusal);
        return 1;
    }
    if (showProgress)
        ticker.start(200);
    app.exec();
    return exitCode;
}

} // namespace plotwell::convert
