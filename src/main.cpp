// Entry point: the headless commands, or the window. The window and the commands that draw
// with the web engine live in a second program beside this one (plotwell-window), which this
// one becomes with exec. A headless command therefore never loads Qt Widgets or the web
// engine, whose libraries alone would take more memory than a whole conversion.
#include "base/Version.h"
#include "commands/ConvertCommand.h"
#include "commands/ImportCommand.h"
#include "commands/RequestCommand.h"

#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

/// `plotwell <name> ...`. `run` gets the arguments after `plotwell` and returns the exit code;
/// a command without one is served by the window program.
struct Command
{
    const char *name;
    const char *usage;
    int (*run)(int argc, char **argv);
};

const std::vector<Command> &commands()
{
    static const std::vector<Command> table = {
        {"request", "request [--sample 1|2]   print the chart page request of a sample chart",
         plotwell::runRequestCommand},
        {"convert", "convert --to sql|json|xml|html INPUT.csv -o OUTPUT [--table NAME]",
         plotwell::convert::runConvertCommand},
        {"import",
         "import STAFF.csv -o CHART.csv [--name-column C] [--title-column C] [--manager-column "
         "C]\n"
         "                                   a staff list of up to 93 people as a chart document",
         plotwell::runImportCommand},
        {"render",
         "render [--sample 1|2 | CHART.csv] -o OUT.png|OUT.pdf [--hires]\n"
         "                                   draw a chart off screen and write it\n"
         "       plotwell render --staff STAFF.csv -o OUT.pdf|OUT.png|OUT.svg [--paper "
         "a4|a3|letter]\n"
         "                       [--name-column C] [--title-column C] [--manager-column C]\n"
         "                                   draw a staff list of any size",
         nullptr},
    };
    return table;
}

/// The window opens files; a word that names no file and looks like no file name is a
/// command mistyped, which must not start a window.
bool looksLikeUnknownCommand(const char *argument)
{
    if (argument[0] == '-')
        return true;
    if (std::strchr(argument, '/') || std::strchr(argument, '.'))
        return false;
    return access(argument, F_OK) != 0;
}

void printUsage(QTextStream &out)
{
    out << "Usage: plotwell [--verbose] [FILE.csv]  start the application, opening FILE.csv;\n"
        << "                                     --verbose logs what it does to standard error\n";
    for (const Command &command : commands())
        out << "       plotwell " << command.usage << '\n';
    out << "       plotwell --help | --version\n";
}

std::string directoryOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

/// The window program: beside this executable in a build, or in lib/plotwell when installed.
std::string windowProgram(const char *argv0)
{
    std::string self(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", self.data(), self.size() - 1);
    self = length > 0 ? self.substr(0, std::size_t(length)) : std::string(argv0);
    const std::string dir = directoryOf(self);
    for (const std::string &candidate :
         {dir + "/plotwell-window", dir + "/../lib/plotwell/plotwell-window"}) {
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return dir + "/plotwell-window";
}

/// Replaces this process with the window program, handing it every argument.
int runWindowProgram(char *argv[])
{
    const std::string program = windowProgram(argv[0]);
    execv(program.c_str(), argv);
    std::fprintf(stderr, "plotwell: cannot start %s: %s\n", program.c_str(), std::strerror(errno));
    return 127;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1) {
        const QString first = QString::fromLocal8Bit(argv[1]);
        for (const Command &command : commands()) {
            if (first == QLatin1String(command.name))
                return command.run ? command.run(argc - 1, argv + 1) : runWindowProgram(argv);
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
    // The rest is the window's: --verbose, which it reads itself, and at most one file.
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--verbose") == 0)
            continue;
        if (looksLikeUnknownCommand(argv[i])) {
            QTextStream err(stderr);
            err << "plotwell: unknown " << (argv[i][0] == '-' ? "option" : "command") << " \""
                << QString::fromLocal8Bit(argv[i]) << "\"\n";
            printUsage(err);
            return 2;
        }
        ++files;
    }
    if (files > 1) {
        QTextStream err(stderr);
        err << "plotwell: the window opens one file at a time\n";
        printUsage(err);
        return 2;
    }
    return runWindowProgram(argv);
}
