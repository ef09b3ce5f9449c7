// The channel between a second start and the running editor: requests arrive
// whole and once, an editor that does not read is given up on, and input
// that no path can be is never acted on.
#include "app/InstanceChannel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <atomic>
#include <thread>
#include <unistd.h>

namespace {

QCoreApplication& Application()
{
    static int argc = 1;
    static char name[] = "channel-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* application = new QCoreApplication(argc, argv);
    return *application;
}

std::string UniqueName(const char* tag) { return "kelvane-channel-" + std::string(tag) + "-" + std::to_string(getpid()); }

// Runs the client on a thread of its own while this thread's event loop
// serves the channel.
template <class Client>
bool ServeWhile(Client client)
{
    std::atomic<bool> done{false};
    bool result = false;
    std::thread thread([&] {
        result = client();
        done = true;
    });
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    thread.join();
    QCoreApplication::processEvents();
    return result;
}

class ChannelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application();
        QObject::connect(&m_channel, &CInstanceChannel::PathReceived,
                         [this](const QString& path) { m_received.push_back(path); });
    }
    CInstanceChannel m_channel;
    std::vector<QString> m_received;
};

}  // namespace

TEST_F(ChannelTest, PathsArriveWholeAndWhatNoPathCanBeIsNeverActedOn)
{
    const std::string name = UniqueName("paths");
    ASSERT_TRUE(m_channel.Listen(name));
    const QString path = QStringLiteral("/sets/Studio \u00e9t\u00e9/scene.tvn ");  // a trailing blank belongs to it
    EXPECT_TRUE(ServeWhile([&] { return CInstanceChannel::SendPath(name, path, 5000); }));
    // Empty: only come forward.
    EXPECT_TRUE(ServeWhile([&] { return CInstanceChannel::SendPath(name, QString(), 5000); }));

    const QString tooLong(static_cast<int>(CInstanceChannel::kMaxPathBytes) + 1, QLatin1Char('a'));
    EXPECT_FALSE(CInstanceChannel::CanSendPath(tooLong));
    EXPECT_FALSE(CInstanceChannel::CanSendPath(QStringLiteral("/a\n/b")));
    // A client that sends a longer line anyway is cut off unanswered.
    EXPECT_FALSE(ServeWhile([&] {
        QLocalSocket socket;
        socket.connectToServer(QString::fromStdString(name) + QStringLiteral(".socket"));
        if (!socket.waitForConnected(2000))
            return true;  // fails the test: the channel must be there
        socket.write(QByteArray(CInstanceChannel::kMaxPathBytes + 100, 'b') + '\n');
        socket.waitForBytesWritten(2000);
        return socket.waitForReadyRead(1000) && socket.canReadLine();
    }));
    ASSERT_EQ(m_received.size(), 2u);
    EXPECT_EQ(m_received[0], path);
    EXPECT_TRUE(m_received[1].isEmpty());
}

TEST_F(ChannelTest, AnEditorThatDoesNotAnswerIsGivenUpAndGetsTheRequestOnce)
{
    const std::string name = UniqueName("silent");
    // Nobody listens: every retry asks whether to go on.
    int asked = 0;
    EXPECT_FALSE(CInstanceChannel::SendPath(name, QStringLiteral("/a"), [&] { return ++asked < 4; }));
    EXPECT_EQ(asked, 4);

    // It listens but its event loop does not run (a hung editor): no answer.
    ASSERT_TRUE(m_channel.Listen(name));
    asked = 0;
    EXPECT_FALSE(CInstanceChannel::SendPath(name, QStringLiteral("/sets/late"), [&] { return ++asked < 5; }));
    EXPECT_GE(asked, 5);
    EXPECT_TRUE(m_received.empty());
    // Once it runs again it finds the one request.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(m_received.size(), 1u);
    EXPECT_EQ(m_received[0], QStringLiteral("/sets/late"));
}
