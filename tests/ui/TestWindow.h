#pragma once

// The window offscreen with scripted ports and fake viewers, launched and ready.

#include "LaunchedWindow.h"

#include <QAction>

#include <memory>

namespace plotwell::testing {

struct Window : ScriptedPorts
{
    FakeChartViewer *webView = nullptr;
    FakeChartViewer *webViewM = nullptr;
    FakeChartViewer *webViewL = nullptr;
    std::unique_ptr<AppDelegate> delegate;

    /// \a launchDocument: the file the application is started with.
    explicit Window(QSize size = {1200, 800}, const QString &launchDocument = {})
    {
        AppDelegate::Ports ports = ScriptedPorts::ports();
        ports.viewers = [this](QObject *owner) {
            webView = new FakeChartViewer(owner);
            webViewM = new FakeChartViewer(owner);
            webViewL = new FakeChartViewer(owner);
            ChartViewers viewers;
            viewers.webView = webView;
            viewers.webViewM = webViewM;
            viewers.webViewL = webViewL;
            return viewers;
        };
        delegate = std::make_unique<AppDelegate>(ports);
        delegate->resize(size);
        delegate->applicationDidFinishLaunching();
        // As the window program opens it, once launched (there from the event loop).
        if (!launchDocument.isEmpty())
            delegate->openHandedOverFile(launchDocument);
    }
    MasterViewController &view() { return *delegate->viewController(); }
    QAction *action(const char *name) { return delegate->action(QLatin1String(name)); }
};

/// The window's title as the desktop shows it: "*" marks unsaved changes.
inline QString shownTitle(const QWidget &window)
{
    return window.windowTitle().replace(
        QStringLiteral("[*]"), window.isWindowModified() ? QStringLiteral("*") : QString());
}

} // namespace plotwell::testing
