#pragma once

// The real window with real web views, its preferences kept in memory, its alerts, panels and
// mail scripted: for tests and tools that drive the application end to end (exports,
// screenshots, benchmarks). Users link plotwell-gui.

#include "Fakes.h"
#include "ui/AppDelegate.h"

#include <QSignalSpy>
#include <QWebEngineView>

namespace plotwell::testing {

/// Preferences in memory; alerts, panels and mail from scripts: a test never waits for a person.
struct ScriptedPorts
{
    MemoryPreferences preferences;
    ScriptedAlerts alerts;
    ScriptedFilePanels panels;
    RecordingMailer mailer;

    AppDelegate::Ports ports()
    {
        AppDelegate::Ports result;
        result.preferences = &preferences;
        result.alerts = &alerts;
        result.filePanels = &panels;
        result.mailer = &mailer;
        return result;
    }
};

class LaunchedWindow : public ScriptedPorts
{
public:
    explicit LaunchedWindow(QSize size = {1280, 800}) : window(ports())
    {
        window.resize(size);
        window.applicationDidFinishLaunching();
        window.show();
    }

    [[nodiscard]] MasterViewController &view() { return *window.viewController(); }
    [[nodiscard]] QWebEngineView *webView()
    {
        return qobject_cast<QWebEngineView *>(view().viewers().webViewWidget);
    }
    /// Waits for the visible viewer's next finished load; true when it showed its page.
    bool waitForLoad(int timeoutMs = 30000)
    {
        QSignalSpy spy(webView(), &QWebEngineView::loadFinished);
        return spy.wait(timeoutMs) && spy.last().at(0).toBool();
    }
    /// Answers the sample question with "Sample 1" and waits for the layout pass's page.
    void loadSampleOne()
    {
        alerts.answers = {kFirstButton};
        view().liveSample();
        waitForLoad();
    }

    AppDelegate window;
};

} // namespace plotwell::testing
