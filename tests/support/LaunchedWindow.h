#pragma once

// The real window with real web views, its preferences kept in memory, its alerts, panels and
// mail scripted: for tests and tools that drive the application end to end (exports,
// screenshots, benchmarks). Users link plotwell-gui.

#include "Fakes.h"
#include "ui/AppDelegate.h"

#include <QSignalSpy>
#include <QWebEngineView>

#include <memory>

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
        m_launchLoads = std::make_unique<QSignalSpy>(viewer(), &ChartViewer::loadFinished);
        window.show();
    }

    [[nodiscard]] MasterViewController &view() { return *window.viewController(); }
    [[nodiscard]] QWebEngineView *webView()
    {
        return qobject_cast<QWebEngineView *>(view().viewers().webViewWidget);
    }
    /// The visible viewer: it says when a chart is drawn, also one drawn in the page on show.
    [[nodiscard]] ChartViewer *viewer() { return view().viewers().webView; }
    /// Waits for the visible viewer's next finished load; true when it showed its page.
    bool waitForLoad(int timeoutMs = 30000)
    {
        QSignalSpy spy(viewer(), &ChartViewer::loadFinished);
        return spy.wait(timeoutMs) && spy.last().at(0).toBool();
    }
    /// Answers the sample question with "Sample 1" once the start page has loaded (a render
    /// asked for sooner would cut that load short). The sample itself loads no page.
    void loadSampleOne()
    {
        if (m_launchLoads->isEmpty())
            m_launchLoads->wait(30000);
        alerts.answers = {kFirstButton};
        view().liveSample();
    }

    AppDelegate window;

private:
    std::unique_ptr<QSignalSpy> m_launchLoads;
};

} // namespace plotwell::testing
