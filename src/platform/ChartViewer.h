#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

namespace plotwell {

/// One of the three chart viewers: an embedded web page with a history. Loads are
/// asynchronous; loadFinished() follows each one. Scripts are asynchronous too: the callback
/// gets the result as text.
class ChartViewer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~ChartViewer() override = default;

    virtual void load(const QUrl &url) = 0;
    /// Shows \a url in place of the page on show: the history gets no step of its own.
    virtual void replace(const QUrl &url) = 0;
    /// Loads \a url, then runs \a script in it: how a page gets what no address can carry.
    /// loadFinished() follows the script's answer, ok when the load and the script succeeded.
    virtual void loadThenRun(const QUrl &url, const QString &script) = 0;
    /// Loads an HTML text with no base address.
    virtual void loadHtml(const QString &html) = 0;
    virtual void evaluate(const QString &script, std::function<void(const QString &)> done) = 0;
    /// Calls \a done once the page has painted what it shows now, or once \a patienceMs have
    /// passed without that (a window that is not on screen paints nothing).
    virtual void whenPainted(std::function<void()> done, int patienceMs) = 0;

    [[nodiscard]] virtual bool canGoBack() const = 0;
    [[nodiscard]] virtual bool canGoForward() const = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;

    /// The address of the page shown (the last load), empty for an HTML text.
    [[nodiscard]] virtual QUrl currentUrl() const = 0;

Q_SIGNALS:
    void loadFinished(bool ok);
};

} // namespace plotwell
