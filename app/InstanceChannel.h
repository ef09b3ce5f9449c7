#pragma once
// The local socket through which a second start of the editor hands the set
// it was given to the running editor. One socket per instance record name,
// so only editors of the same user data folder reach each other.
#include <QObject>
#include <QString>

#include <string>

class QLocalServer;

class CInstanceChannel : public QObject {
    Q_OBJECT
public:
    explicit CInstanceChannel(QObject* parent = nullptr);
    ~CInstanceChannel() override;

    // Starts listening (the running editor). A socket left by an editor that
    // ended without cleaning up is taken over.
    bool Listen(const std::string& name);

    // Sends the path to the editor listening on the name and waits until it
    // has read it; false when none listens.
    static bool SendPath(const std::string& name, const QString& path, int timeoutMs = 3000);

    // Longest path accepted from the socket (bytes of UTF-8).
    static constexpr qint64 kMaxPathBytes = 64 * 1024;

signals:
    void PathReceived(const QString& path);

private:
    void OnNewConnection();

    QLocalServer* m_server = nullptr;
};
