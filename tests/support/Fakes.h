#pragma once

// Scripted stand-ins for the desktop ports, shared by every test that drives a core flow.

#include "base/AppState.h"
#include "base/CommandCenter.h"
#include "platform/Alerts.h"
#include "platform/AppContext.h"
#include "platform/ChartViewer.h"
#include "platform/Desktop.h"
#include "platform/FilePanels.h"
#include "platform/Mailer.h"
#include "platform/Preferences.h"

#include <QList>
#include <QStringList>
#include <QUrl>

#include <deque>
#include <optional>

namespace plotwell::testing {

/// Answers alerts from a script (codes 1000, 1001, ...) and records every alert shown. With
/// an empty script it presses the first button.
class ScriptedAlerts final : public Alerts
{
public:
    int runModal(const AlertSpec &alert) override
    {
        shown.push_back(alert);
        if (answers.empty())
            return kFirstButton;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    [[nodiscard]] QStringList messages() const
    {
        QStringList list;
        for (const AlertSpec &alert : shown)
            list << alert.message;
        return list;
    }

    std::deque<int> answers;
    QList<AlertSpec> shown;
};

/// Returns scripted paths (nothing = Cancel) and records each panel.
class ScriptedFilePanels final : public FilePanels
{
public:
    std::optional<QString> chooseSavePath(const SavePanelSpec &panel) override
    {
        savePanels.push_back(panel);
        return next(savePaths);
    }
    std::optional<QString> chooseOpenPath(const OpenPanelSpec &panel) override
    {
        ++openPanelCount;
        openPanels.push_back(panel);
        return next(openPaths);
    }

    std::deque<std::optional<QString>> savePaths;
    std::deque<std::optional<QString>> openPaths;
    QList<SavePanelSpec> savePanels;
    int openPanelCount = 0;
    QList<OpenPanelSpec> openPanels;

private:
    static std::optional<QString> next(std::deque<std::optional<QString>> &queue)
    {
        if (queue.empty())
            return std::nullopt;
        auto value = queue.front();
        queue.pop_front();
        return value;
    }
};

/// A viewer with a real history model; loads finish when the test calls finishLoad().
class FakeChartViewer final : public ChartViewer
{
public:
    using ChartViewer::ChartViewer;

    void load(const QUrl &url) override
    {
        push(url.toString(QUrl::FullyEncoded), url);
        m_then.clear();
    }
    void replace(const QUrl &url) override
    {
        replacements << url.toString(QUrl::FullyEncoded);
        if (m_index >= 0)
            m_history[m_index] = {replacements.last(), url};
    }
    void loadThenRun(const QUrl &url, const QString &script) override
    {
        load(url);
        m_then = script;
    }
    void loadHtml(const QString &html) override { push(html, QUrl()); }
    void evaluate(const QString &script, std::function<void(const QString &)> done) override
    {
        scripts << script;
        if (done)
            done(scriptAnswers.value(script));
    }
    void whenPainted(std::function<void()> done, int) override { done(); }
    [[nodiscard]] bool canGoBack() const override { return m_index > 0; }
    [[nodiscard]] bool canGoForward() const override { return m_index + 1 < m_history.size(); }
    void goBack() override { m_index -= canGoBack(); }
    void goForward() override { m_index += canGoForward(); }
    [[nodiscard]] QUrl currentUrl() const override { return m_history.value(m_index).second; }
    [[nodiscard]] QString currentPage() const { return m_history.value(m_index).first; }
    void finishLoad(bool ok = true)
    {
        if (ok && !m_then.isEmpty())
            scripts << std::exchange(m_then, QString());
        Q_EMIT loadFinished(ok);
    }

    QStringList loads;        // every load in order: URL text or HTML text
    QStringList replacements; // every page put in place of the one on show
    QStringList scripts;
    QMap<QString, QString> scriptAnswers;

private:
    void push(const QString &page, const QUrl &url)
    {
        loads << page;
        m_history.resize(++m_index);
        m_history.append({page, url});
    }
    QList<std::pair<QString, QUrl>> m_history; // page text and URL of each step back
    QString m_then;                            // the script the load in progress runs once loaded
    qsizetype m_index = -1;
};

class RecordingMailer final : public Mailer
{
public:
    QString attachToNewMessage(const QString &filePath) override
    {
        attached << filePath;
        return failure;
    }
    QStringList attached;
    QString failure; // set to make the hand-over fail
};

class FakeDesktop final : public Desktop
{
public:
    void setWindowTitle(const QString &title) override { m_title = title; }
    [[nodiscard]] QString windowTitle() const override { return m_title; }
    void setWindowModified(bool isModified) override { modified = isModified; }
    [[nodiscard]] QSizeF lastScreenAvailableSize() const override { return screenSize; }
    void noteRecentDocument(const QString &path) override { recent << path; }
    void openExternalUrl(const QUrl &url) override { opened << url; }

    QSizeF screenSize{1440, 900};
    bool modified = false;
    QStringList recent;
    QList<QUrl> opened;

private:
    QString m_title = QStringLiteral("Untitled");
};

/// The state, command centre and ports of one window, all fakes: what most flows take.
struct FakeApp
{
    AppState state;
    CommandCenter commands;
    MemoryPreferences preferences;
    ScriptedAlerts alerts;
    ScriptedFilePanels panels;
    FakeDesktop desktop;
    RecordingMailer mailer;
    AppContext context{state, commands, preferences, alerts, panels, desktop, mailer};
};

} // namespace plotwell::testing
