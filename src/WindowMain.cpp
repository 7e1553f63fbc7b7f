// The window program, started by `plotwell` for the window and for the commands that draw
// with the web engine.
#include "base/Log.h"
#include "base/Version.h"
#include "ui/AppDelegate.h"
#include "ui/RenderCommand.h"
#include "ui/SingleInstance.h"
#include "ui/Style.h"

#include <QApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <cstring>

namespace {

/// The desktop application. A document path among the arguments is opened once the window's
/// view exists.
int runApplication(int argc, char *argv[])
{
    // Without a display Qt would abort with its own platform error; say it in one line.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("plotwell: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
                   "unset); the commands convert, request and render need none\n",
                   stderr);
        return 1;
    }
    plotwell::useOverlayScrollBars();
    plotwell::exposeGarbageCollectionToPage();
    QApplication app(argc, argv);
    QApplication::setApplicationName(plotwell::applicationName());
    QApplication::setApplicationDisplayName(plotwell::applicationName());
    QApplication::setApplicationVersion(plotwell::applicationVersion());
    QApplication::setOrganizationName(QStringLiteral("Orvanta"));
    // Wayland matches the window to its desktop entry, and so to its icon, by this name.
    QApplication::setDesktopFileName(QStringLiteral("com.orvanta.Plotwell"));
    plotwell::applyAppStyle(app);

    QString launchDocument;
    const QStringList arguments = QApplication::arguments().mid(1);
    const bool verbose = arguments.contains(QStringLiteral("--verbose"));
    plotwell::setDiagnosticsShown(verbose);
    plotwell::quietChromiumUnlessVerbose(verbose);
    for (const QString &argument : arguments) {
        if (!argument.startsWith(QLatin1Char('-'))) {
            launchDocument = QFileInfo(argument).absoluteFilePath();
            break;
        }
    }
    // One window: a running one takes the file, and this start ends.
    plotwell::SingleInstance instance;
    if (instance.handOver(launchDocument))
        return 0;
    instance.listen();

    plotwell::AppDelegate window;
    QObject::connect(&instance, &plotwell::SingleInstance::openRequested, &window,
                     &plotwell::AppDelegate::openHandedOverFile);
    window.resize(1280, 820);
    window.applicationDidFinishLaunching();
    // A chart with unsaved changes is copied here while it has them: a run that ends without
    // saving it (a crash, a power cut) leaves it for the next one to offer back.
    window.keepRecoveryCopyIn(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                              QStringLiteral("/Unsaved chart.csv"));
    window.show();
    // The file the application was started with opens as a file handed over later does: over
    // the shown window (an alert it brings has the window behind it), a staff list into its
    // import, and after the offer of an unsaved chart.
    if (!launchDocument.isEmpty())
        QMetaObject::invokeMethod(
            &window, [&window, launchDocument] { window.openHandedOverFile(launchDocument); },
            Qt::QueuedConnection);
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
