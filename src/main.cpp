// Entry point: the desktop application, or one of the headless commands.
#include "app/Version.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

constexpr const char *kUsage =
    "Usage: plotwell [FILE.csv]\n"
    "       plotwell --help | --version\n";

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(plotwell::applicationName());
    QCoreApplication::setApplicationVersion(plotwell::applicationVersion());
    QTextStream out(stdout);
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--version"))) {
        out << plotwell::applicationName() << ' ' << plotwell::applicationVersion() << '\n';
        return 0;
    }
    out << kUsage;
    return 0;
}
