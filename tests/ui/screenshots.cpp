// Tool, not a test: drives the real window through launch, a render of Sample 1, the hidden
// grid and full screen, and saves a screenshot of each. Run under a display (xvfb-run).
#include "LaunchedWindow.h"
#include "app/Commands.h"
#include "ui/AppDelegate.h"
#include "ui/Style.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

using namespace plotwell;

namespace {

void settle(int ms = 1200)
{
    QTest::qWait(ms);
}

void save(const QString &dir, const QString &name)
{
    const QString path = QDir(dir).filePath(name);
    QGuiApplication::primaryScreen()->grabWindow(0).save(path);
    qInfo().noquote() << "saved" << path;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Plotwell"));
    applyAppStyle(app);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    testing::LaunchedWindow launched;
    AppDelegate &window = launched.window;
    launched.waitForLoad();
    settle();
    save(out, QStringLiteral("launch.png"));

    launched.loadSampleOne();
    launched.view().renderButton()->click();
    launched.waitForLoad();
    settle(2000);
    save(out, QStringLiteral("rendered-sample1.png"));

    window.viewController()->hideButton()->click();
    settle(2000);
    save(out, QStringLiteral("grid-hidden.png"));

    window.viewController()->hideButton()->click();
    window.viewController()->renderButton()->click();
    launched.waitForLoad();
    window.action(QStringLiteral("fScreen:"))->trigger();
    for (int i = 0; i < 50 && !window.isFullScreen(); ++i)
        settle(100);
    // A bare X server has no window manager to resize a full-screen window: do its part.
    if (window.size() != window.screen()->size())
        window.setGeometry(window.screen()->geometry());
    settle(2500);
    save(out, QStringLiteral("fullscreen.png"));
    return 0;
}
