// The window program, started by `plotwell` for the window and for the commands that draw
// with the web engine.
#include "app/Version.h"
#include "ui/AppDelegate.h"
#include "ui/RenderCommand.h"
#include "ui/Style.h"

#include <QApplication>

#include <cstring>

namespace {

/// The desktop application. A document path among the arguments is opened once the window's
/// view exists.
int runApplication(int argc, char *argv[])
{
    plotwell::useOverlayScrollBars();
    QApplication app(argc, argv);
    QApplication::setApplicationName(plotwell::applicationName());
    QApplication::setApplicationDisplayName(plotwell::applicationName());
    QApplication::setApplicationVersion(plotwell::applicationVersion());
    QApplication::setOrganizationName(QStringLiteral("Orvanta"));
    // Wayland matches the window to its desktop entry, and so to its icon, by this name.
    QApplication::setDesktopFileName(QStringLiteral("com.orvanta.Plotwell"));
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
    // The web engine shares its GL context with the widgets; this has to be said before the
    // application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (argc > 1 && std::strcmp(argv[1], "render") == 0)
        return plotwell::runRenderCommand(argc - 1, argv + 1);
    return runApplication(argc, argv);
}
