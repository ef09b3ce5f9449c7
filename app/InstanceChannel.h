#pragma once
// The local socket through which a second start of the editor reaches the
// running editor: it hands over the set it was given, or only asks the
// editor to come forward. One socket per instance record name, so only
// editors of the same user data folder reach each other. An editor answers
// from its event loop, so an answer also says that it is not hung.
#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QLocalServer;
class QTimer;

class CInstanceChannel : public QObject {
    Q_OBJECT
public:
    explicit CInstanceChannel(QObject* parent = nullptr);
    ~CInstanceChannel() override;

    // Starts listening (the running editor). A socket left by an editor that
    // ended without cleaning up is taken over, and a socket file that
    // disappears while the editor runs (a cleaner of temporary files) is made
    // again.
    bool Listen(const std::string& name);

    // Sends the path (empty: only come forward) to the editor listening on
    // the name and waits for its answer. While none comes (no editor listens
    // yet, or it does not read), `keepWaiting` is asked every 100 ms whether
    // to go on; false then. The request is sent once, so an editor that
    // answers late never gets it twice.
    static bool SendPath(const std::string& name, const QString& path, const std::function<bool()>& keepWaiting);
    static bool SendPath(const std::string& name, const QString& path, int timeoutMs = 3000);

    // Longest path accepted from the socket (bytes of UTF-8).
    static constexpr qint64 kMaxPathBytes = 64 * 1024;
    // Whether the path can travel over the channel (not too long, no line break).
    static bool CanSendPath(const QString& path);

signals:
    // A second start asked this editor to come forward and, when the path is
    // not empty, to open that set.
    void PathReceived(const QString& path);

private:
    void OnNewConnection();
    void RelistenIfSocketIsGone();

    QLocalServer* m_server = nullptr;
    QTimer* m_socketCheck = nullptr;
    std::string m_name;
};
