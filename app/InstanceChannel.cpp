#include "InstanceChannel.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

namespace {

QString SocketName(const std::string& name) { return QString::fromStdString(name) + QStringLiteral(".socket"); }

constexpr int kStepMs = 100;
constexpr int kSocketCheckMs = 30000;

}  // namespace

CInstanceChannel::CInstanceChannel(QObject* parent) : QObject(parent) {}

CInstanceChannel::~CInstanceChannel() = default;

bool CInstanceChannel::Listen(const std::string& name)
{
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &CInstanceChannel::OnNewConnection);
        m_socketCheck = new QTimer(this);
        connect(m_socketCheck, &QTimer::timeout, this, &CInstanceChannel::RelistenIfSocketIsGone);
    }
    m_name = name;
    if (m_server->isListening())
        return true;
    // Only the editor that owns the instance record listens, so a socket
    // file already there was left behind by one that ended.
    const bool listening =
        m_server->listen(SocketName(name)) || (QLocalServer::removeServer(SocketName(name)) && m_server->listen(SocketName(name)));
    if (listening)
        m_socketCheck->start(kSocketCheckMs);
    return listening;
}

void CInstanceChannel::RelistenIfSocketIsGone()
{
    const QString path = m_server->fullServerName();
    if (!m_server->isListening() || path.isEmpty() || QFileInfo::exists(path))
        return;
    m_server->close();
    Listen(m_name);
}

void CInstanceChannel::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxPathBytes)
                    socket->abort();
                return;
            }
            // The path, its line break, and room for readLine's terminator.
            QByteArray line = socket->readLine(kMaxPathBytes + 2);
            if (!line.endsWith('\n')) {
                socket->abort();  // longer than any path accepted: never opened cut short
                return;
            }
            line.chop(1);
            socket->write("ok\n");
            socket->flush();
            socket->disconnectFromServer();
            emit PathReceived(QString::fromUtf8(line));
        });
    }
}

bool CInstanceChannel::SendPath(const std::string& name, const QString& path, const std::function<bool()>& keepWaiting)
{
    if (!CanSendPath(path))
        return false;
    const QByteArray bytes = path.toUtf8();
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(SocketName(name));
        if (socket.waitForConnected(kStepMs))
            break;
        socket.abort();
        if (!keepWaiting())
            return false;
        // A refused connection returns at once: wait out the step.
        QThread::msleep(kStepMs);
    }
    socket.write(bytes + '\n');
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(kStepMs) && (socket.state() != QLocalSocket::ConnectedState || !keepWaiting()))
            return false;
    }
    while (!socket.canReadLine()) {
        if (socket.waitForReadyRead(kStepMs))
            continue;
        if (socket.state() != QLocalSocket::ConnectedState || !keepWaiting())
            return false;
    }
    // The answer says the editor has the request; it acts on its own time.
    return socket.readLine().trimmed() == "ok";
}

bool CInstanceChannel::CanSendPath(const QString& path)
{
    const QByteArray bytes = path.toUtf8();
    return bytes.size() <= kMaxPathBytes && !bytes.contains('\n');
}

bool CInstanceChannel::SendPath(const std::string& name, const QString& path, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    return SendPath(name, path, [&timer, timeoutMs] { return timer.elapsed() < timeoutMs; });
}
