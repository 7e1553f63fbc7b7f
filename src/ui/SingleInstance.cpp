#include "ui/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace plotwell {

namespace {

// The message is the path in UTF-8 ending in a line feed; the answer is "ok" and a line feed,
// sent once the window has taken the path, so the sender can end knowing it was not lost.
constexpr char kAnswer[] = "ok\n";

QString sessionSocketPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/com.orvanta.Plotwell.socket");
}

} // namespace

SingleInstance::SingleInstance(const QString &socketPath, QObject *parent)
    : QObject(parent), m_socketPath(socketPath.isEmpty() ? sessionSocketPath() : socketPath)
{}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::handOver(const QString &path, int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(path.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    QByteArray answer;
    while (!answer.endsWith('\n')) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
        answer += socket.readAll();
    }
    return answer == kAnswer;
}

bool SingleInstance::listen()
{
    if (m_server)
        return true;
    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_socketPath)) {
        // A socket file that nobody answers on is left over from a window that crashed.
        if (server->serverError() != QAbstractSocket::AddressInUseError || handOver({}, 500) ||
            !QLocalServer::removeServer(m_socketPath) || !server->listen(m_socketPath)) {
            delete server;
            return false;
        }
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::serveNextConnection);
    return true;
}

void SingleInstance::serveNextConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            const QString path = QString::fromUtf8(socket->readLine()).chopped(1);
            socket->write(kAnswer);
            socket->disconnectFromServer();
            // Answered first: opening may show an alert and wait for the user, longer than the
            // sender should.
            QMetaObject::invokeMethod(
                this, [this, path] { Q_EMIT openRequested(path); }, Qt::QueuedConnection);
        });
    }
}

} // namespace plotwell
