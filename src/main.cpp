// Entry point: the desktop application, or one of the headless commands.
#include "app/Version.h"
#include "convert/ConvertCommand.h"
#include "render/RequestCommand.h"
#include "ui/AppDelegate.h"
#include "ui/RenderCommand.h"
#include "ui/Style.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

#include <functional>

namespace {

/// A headless command: `plotwell <name> ...`. Each gets the arguments after its name and
/// returns the process exit code. Commands run under a QCoreApplication unless they make
/// their own application object (the ones that draw need a QApplication).
struct HeadlessCommand
{
    const char *name;
    const char *usage;
    std::function<int(int argc, char **argv)> run;
};

const std::vector<HeadlessCommand> &headlessCommands()
{
    static const std::vector<HeadlessCommand> commands = {
        {"request", "request [--sample 1|2]   print the chart page request of a sample chart",
         plotwell::runRequestCommand},
        {"convert", "convert --to sql|json|xml|html INPUT.csv -o OUTPUT [--table NAME]",
         plotwell::convert::runConvertCommand},
        {"render",
         "render [--sample 1|2 | CHART.csv] -o OUT.png|OUT.pdf [--hires]\n"
         "                                   draw a chart off screen and write it",
         plotwell::runRenderCommand},
    };
    return commands;
}

void printUsage(QTextStream &out)
{
    out << "Usage: plotwell [FILE.csv]          start the application, opening FILE.csv\n";
    for (const HeadlessCommand &command : headlessCommands())
        out << "       plotwell " << command.usage << '\n';
    out << "       plotwell --help | --version\n";
}

/// The desktop application. A document path among the arguments is opened once the window's
/// view exists.
int runApplication(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(plotwell::applicationName());
    QApplication::setApplicationDisplayName(plotwell::applicationName());
    QApplication::setApplicationVersion(plotwell::applicationVersion());
    QApplication::setOrganizationName(QStringLiteral("Orvanta"));
    plotwell::applyAppStyle(app);

    plotwell::AppDelegate window;
    const QStringList arguments = QApplication::arguments().mid(1);
    for (const QString &argument : arguments) {
        if (!argument.startsWith(QLatin1Char('-'))) {
            window.setLaunchDocument(argument);
            break;
        }
    }
    window.resize(1280, 820);
    window.applicationDidFinishLaunching();
    window.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1) {
        const QString first = QString::fromLocal8Bit(argv[1]);
        for (const HeadlessCommand &command : headlessCommands()) {
            if (first == QLatin1String(command.name))
                return command.run(argc - 1, argv + 1);
        }
        if (first == QLatin1String("--version") || first == QLatin1String("-v")) {
            QTextStream out(stdout);
            out << plotwell::applicationName() << ' ' << plotwell::applicationVersion() << '\n';
            return 0;
        }
        if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
            QTextStream out(stdout);
            printUsage(out);
            return 0;
        }
    }
    return runApplication(argc, argv);
}
