#include "InstanceChannel.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace {

QString SocketName(const std::string& name) { return QString::fromStdString(name) + QStringLiteral(".socket"); }

}  // namespace

CInstanceChannel::CInstanceChannel(QObject* parent) : QObject(parent) {}

CInstanceChannel::~CInstanceChannel() = default;

bool CInstanceChannel::Listen(const std::string& name)
{
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &CInstanceChannel::OnNewConnection);
    }
    if (m_server->isListening())
        return true;
    if (m_server->listen(SocketName(name)))
        return true;
    // Only the editor that owns the instance record listens, so a socket
    // file already there was left behind by one that ended.
    QLocalServer::removeServer(SocketName(name));
    return m_server->listen(SocketName(name));
}

void CInstanceChannel::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > kMaxPathBytes) {
                socket->abort();
                return;
            }
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine(kMaxPathBytes).trimmed();
            socket->write("ok\n");
            socket->flush();
            socket->disconnectFromServer();
            if (!line.isEmpty())
                emit PathReceived(QString::fromUtf8(line));
        });
    }
}

bool CInstanceChannel::SendPath(const std::string& name, const QString& path, int timeoutMs)
{
    const QByteArray bytes = path.toUtf8();
    if (bytes.isEmpty() || bytes.size() > kMaxPathBytes || bytes.contains('\n'))
        return false;
    QLocalSocket socket;
    socket.connectToServer(SocketName(name));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(bytes + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The answer says the editor has the path; it opens it on its own time.
    return socket.waitForReadyRead(timeoutMs) && socket.readLine().trimmed() == "ok";
}
