#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace plotwell {

/// One window per user session. The first start listens on a local socket in the user's runtime
/// folder; a later start hands its file to that window and ends, as a file opened from the file
/// manager should.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    /// \a socketPath: empty for the session's own, in the runtime folder (XDG_RUNTIME_DIR).
    explicit SingleInstance(const QString &socketPath = {}, QObject *parent = nullptr);
    ~SingleInstance() override;

    /// Hands \a path (absolute, or empty to only raise the window) to the running window.
    /// True when a window took it; false when none runs or it did not answer in time.
    [[nodiscard]] bool handOver(const QString &path, int timeoutMs = 5000) const;

    /// Becomes the running window: from now on hand-overs arrive as openRequested. False when
    /// the socket cannot be made; the window then simply runs on its own.
    bool listen();

    [[nodiscard]] QString socketPath() const { return m_socketPath; }

Q_SIGNALS:
    /// A later start asked for the window, with its file or an empty path.
    void openRequested(const QString &path);

private:
    void serveNextConnection();

    QString m_socketPath;
    QLocalServer *m_server = nullptr;
};

} // namespace plotwell
