#pragma once

#include "base/AppState.h"
#include "base/CommandCenter.h"
#include "platform/Alerts.h"
#include "platform/AppContext.h"
#include "platform/ChartPictures.h"
#include "platform/ChartViewer.h"
#include "platform/Desktop.h"
#include "platform/FilePanels.h"
#include "platform/Mailer.h"
#include "platform/Preferences.h"

#include <QSizeF>

#include <memory>

namespace plotwell {

/// The desktop as a command without a window sees it: nobody to ask, nothing remembered past
/// the run, and a screen of a fixed size unless the caller knows a real one.
class HeadlessDesktop final : public Alerts, public FilePanels, public Desktop, public Mailer
{
public:
    explicit HeadlessDesktop(QSizeF screen = {1440, 900}) : m_screen(screen) {}

    /// An alert has nobody to answer it: its message goes to standard error, and the first
    /// button counts as pressed.
    int runModal(const AlertSpec &alert) override;
    std::optional<QString> chooseSavePath(const SavePanelSpec &) override { return {}; }
    std::optional<QString> chooseOpenPath(const OpenPanelSpec &) override { return {}; }
    void setWindowTitle(const QString &title) override { m_title = title; }
    [[nodiscard]] QString windowTitle() const override { return m_title; }
    void setWindowModified(bool) override {}
    [[nodiscard]] QSizeF lastScreenAvailableSize() const override { return m_screen; }
    void noteRecentDocument(const QString &) override {}
    void openExternalUrl(const QUrl &) override {}
    [[nodiscard]] QString attachToNewMessage(const QString &) override
    {
        return QStringLiteral("There is no mail client for a command.");
    }

private:
    QSizeF m_screen;
    QString m_title;
};

/// A viewer that shows nothing and keeps no history: the request is all a command needs of it.
class BlankChartViewer final : public ChartViewer
{
public:
    using ChartViewer::ChartViewer;
    void load(const QUrl &url) override { m_url = url; }
    void replace(const QUrl &url) override { m_url = url; }
    void loadThenRun(const QUrl &url, const QString &) override { m_url = url; }
    void loadHtml(const QString &) override { m_url.clear(); }
    void evaluate(const QString &, std::function<void(const QString &)>) override {}
    void whenPainted(std::function<void()> done, int) override { done(); }
    [[nodiscard]] bool canGoBack() const override { return false; }
    [[nodiscard]] bool canGoForward() const override { return false; }
    void goBack() override {}
    void goForward() override {}
    [[nodiscard]] QUrl currentUrl() const override { return m_url; }

private:
    QUrl m_url;
};

/// Pictures of nothing: every one fails.
class NoChartPictures final : public ChartPictures
{
public:
    [[nodiscard]] QSizeF viewerSize(const ChartViewer &) const override { return {}; }
    void takePicture(ChartViewer &, double, ImageDone done) override { done({}); }
    void printToPdf(ChartViewer &, PdfDone done) override { done({}); }
};

/// The state, command centre and ports of one command's run: preferences in memory, the
/// headless desktop for the rest, and \a screen, when given, for the screen's size.
struct HeadlessSession
{
    explicit HeadlessSession(Desktop *screen = nullptr) : m_screen(screen) {}
    HeadlessSession(const HeadlessSession &) = delete;
    HeadlessSession &operator=(const HeadlessSession &) = delete;

    /// Reads the preferences \a user stored (a chart's colours and positions beside its file);
    /// what the command changes stays in memory.
    void readPreferencesOf(const Preferences &user)
    {
        m_overlay = std::make_unique<OverlayPreferences>(user);
    }

    [[nodiscard]] AppContext context()
    {
        Preferences &preferences =
            m_overlay ? static_cast<Preferences &>(*m_overlay) : this->preferences;
        return AppContext{state,   commands, preferences,
                          desktop, desktop,  m_screen ? *m_screen : desktop,
                          desktop};
    }

    AppState state;
    CommandCenter commands;
    MemoryPreferences preferences;
    HeadlessDesktop desktop;

private:
    Desktop *m_screen;
    std::unique_ptr<OverlayPreferences> m_overlay;
};

} // namespace plotwell
