// Tool, not a test: drives the real window through launch, a render of Sample 1, the hidden
// grid and full screen, and saves a screenshot of each. Run under a display (xvfb-run).
#include "Fakes.h"
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

bool waitForLoad(QWebEngineView *view)
{
    QSignalSpy spy(view, &QWebEngineView::loadFinished);
    return spy.wait(15000);
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

    MemoryPreferences preferences;
    testing::ScriptedAlerts alerts;
    AppDelegate::Ports ports;
    ports.preferences = &preferences;
    ports.alerts = &alerts;
    AppDelegate window(ports);
    window.resize(1280, 800);
    window.applicationDidFinishLaunching();
    window.show();
    auto *webView =
        qobject_cast<QWebEngineView *>(window.viewController()->viewers().webViewWidget);
    waitForLoad(webView);
    settle();
    save(out, QStringLiteral("launch.png"));

    alerts.answers = {kFirstButton};
    window.viewController()->liveSample();
    waitForLoad(webView);
    window.viewController()->renderButton()->click();
    waitForLoad(webView);
    settle(2000);
    save(out, QStringLiteral("rendered-sample1.png"));

    window.viewController()->hideButton()->click();
    settle(2000);
    save(out, QStringLiteral("grid-hidden.png"));

    window.viewController()->hideButton()->click();
    window.viewController()->renderButton()->click();
    waitForLoad(webView);
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
