// The link to the server alone, against a testing server played by a QTcpServer inside
// the test.

#include "app/ServerLink.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kWaitMs = 10000;

// What the link handed on, in order: "M:" messages, "L:" task lists, "Q:" tasks, "R" a
// request to log in again.
struct Received {
    explicit Received(ServerLink& link) {
        QObject::connect(&link, &ServerLink::messageArrived,
                         [this](const std::string& m) { items.push_back("M:" + ReadPayload(m)); });
        QObject::connect(&link, &ServerLink::taskListArrived,
                         [this](const std::string& m) { items.push_back("L:" + ReadPayload(m)); });
        QObject::connect(&link, &ServerLink::taskArrived,
                         [this](const std::string& m) { items.push_back("Q:" + ReadPayload(m)); });
        QObject::connect(&link, &ServerLink::loginRequested, [this] { items.push_back("R"); });
    }
    std::vector<std::string> items;
};

} // namespace

TEST(ServerLinkTest, MessagesComeOnePerSignalInOrderAndWaitWhileHeld) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    ServerLink link;
    bool held = true;
    link.SetHoldWhile([&] { return held; });
    Received received(link);
    bool connected = false;
    QObject::connect(&link, &ServerLink::connectedToServer, [&] { connected = true; });

    link.ConnectTo(*ParseServerAddress("127.0.0.1:" + std::to_string(server.serverPort())));
    EXPECT_EQ(link.State().CurrentPhase(), ConnectionState::Phase::Connecting);
    ASSERT_TRUE(server.waitForNewConnection(kWaitMs));
    QTcpSocket* peer = server.nextPendingConnection();
    ASSERT_TRUE(QTest::qWaitFor([&] { return connected; }, kWaitMs));
    EXPECT_TRUE(link.IsConnected());

    const std::string frames = "<MESSAGE:1>a<junk:0><QUESTLIST:1>b<RELOG:0><QUEST:1>c<MESSAGE:1>d";
    peer->write(frames.data(), static_cast<qint64>(frames.size()));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return link.Receiver().MessageQueue().size() == 6; }, kWaitMs));
    QTest::qWait(100);
    EXPECT_TRUE(received.items.empty()); // the message box is up: nothing is handed on

    held = false;
    link.DispatchWaiting(); // as the message box does when it closes
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.items.size() == 5; }, kWaitMs));
    EXPECT_EQ(received.items, (std::vector<std::string>{"M:a", "L:b", "R", "Q:c", "M:d"}));
    EXPECT_TRUE(link.Receiver().MessageQueue().empty());

    // A frame sent is received whole; once closed on purpose, nothing is sent.
    link.Send("<GETQUESTLIST:1>1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer->bytesAvailable() >= 17; }, kWaitMs));
    EXPECT_EQ(peer->readAll().toStdString(), "<GETQUESTLIST:1>1");
    link.CloseOnPurpose();
    EXPECT_FALSE(link.IsConnected());
    link.Send("<GETQUESTLIST:1>1");
    QTest::qWait(50);
    EXPECT_EQ(peer->readAll().toStdString(), "");
}
