// The link to the server alone, against a testing server played by a QTcpServer inside
// the test.

#include "app/ServerLink.h"
#include "TestCertificate.h"
#include "platform/Cp1251.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
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
                         [this](const std::string& text) { items.push_back("M:" + text); });
        QObject::connect(&link, &ServerLink::taskListArrived,
                         [this](const std::vector<QuestListEntry>& entries) {
                             std::string names;
                             for (const QuestListEntry& entry : entries)
                                 names += entry.name + ";";
                             items.push_back("L:" + names);
                         });
        QObject::connect(&link, &ServerLink::taskArrived,
                         [this](const QuestSections& task) { items.push_back("Q:" + task.name); });
        QObject::connect(&link, &ServerLink::serverSaysBye, [this](const ByeMessage& bye) {
            items.push_back("B:" + bye.reason + "/" + bye.text);
        });
        QObject::connect(&link, &ServerLink::loginRequested, [this] { items.push_back("R"); });
    }
    std::vector<std::string> items;
};

// A server that speaks TLS with a certificate of its own and keeps every byte of
// application data it received.
class TlsPeer : public QTcpServer {
public:
    explicit TlsPeer(const TestCertificate& made) {
        QFile certificate(made.certificate), key(made.key);
        if (certificate.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly)) {
            certificate_ = QSslCertificate(&certificate);
            key_ = QSslKey(&key, QSsl::Rsa);
        }
    }
    QByteArray received;
    int encrypted = 0; // handshakes that ended well

protected:
    void incomingConnection(qintptr descriptor) override {
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setLocalCertificate(certificate_);
        socket->setPrivateKey(key_);
        connect(socket, &QSslSocket::encrypted, [this] { ++encrypted; });
        connect(socket, &QSslSocket::readyRead, [this, socket] { received += socket->readAll(); });
        socket->startServerEncryption();
    }

private:
    QSslCertificate certificate_;
    QSslKey key_;
};

} // namespace

TEST(ServerLinkTest, EncryptedConnectionsSendNothingUntilTheCertificatePasses) {
    QTemporaryDir folder;
    const TestCertificate made = MakeTestCertificate(folder.path());
    if (made.certificate.isEmpty())
        GTEST_SKIP() << "openssl is not installed";
    TlsPeer server(made);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    const ServerAddress address =
        *ParseServerAddress("tls://127.0.0.1:" + std::to_string(server.serverPort()));
    ServerLink link;
    std::vector<std::string> reports;
    QObject::connect(&link, &ServerLink::connectionEnded,
                     [&](const std::string& report) { reports.push_back(report); });
    bool connected = false;
    QObject::connect(&link, &ServerLink::connectedToServer, [&] {
        connected = true;
        link.Send("<LOGIN:10>Guest;wuzo"); // as the main window does once connected
    });

    // Against the system's authorities the self-signed certificate fails: one report, in
    // Russian with the socket layer's reason after it, and not a byte reaches the server.
    link.ConnectTo(address);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reports.empty(); }, kWaitMs));
    EXPECT_EQ(reports.size(), 1u);
    const std::string opening =
        platform::Utf8ToCp1251("Не удалось подключиться к серверу 127.0.0.1:") +
        std::to_string(server.serverPort()) +
        platform::Utf8ToCp1251(": сертификат сервера не прошёл проверку");
    EXPECT_EQ(reports[0].substr(0, opening.size()), opening) << reports[0];
    EXPECT_GT(reports[0].size(), opening.size() + 80) << "the reason follows";
    QTest::qWait(200);
    EXPECT_FALSE(connected);
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(link.State().CurrentPhase(), ConnectionState::Phase::NotConnected);
    link.Send("<GETQUESTLIST:1>1");
    QTest::qWait(100);
    EXPECT_EQ(server.encrypted, 0);
    EXPECT_TRUE(server.received.isEmpty()) << server.received.toStdString();

    // Trusting the certificate's own authority, the link is up once the handshake ends and
    // the state line says the connection is encrypted.
    link.TrustOnly(QSslCertificate::fromPath(made.certificate));
    link.ConnectTo(address);
    ASSERT_TRUE(QTest::qWaitFor([&] { return connected; }, kWaitMs)) << reports.back();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.received.size() >= 20; }, kWaitMs));
    EXPECT_EQ(server.received.toStdString(), "<LOGIN:10>Guest;wuzo");
    link.LoginSent("Guest"); // not let in yet: the server has not answered
    EXPECT_EQ(platform::Cp1251ToUtf8(link.State().StateText()),
              "Подключено к серверу 127.0.0.1:" + std::to_string(server.serverPort()) +
                  ", вход не выполнен (шифрование TLS)");
    EXPECT_EQ(reports.size(), 1u);
}

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

    // The server's offer is answered at once, also while the box holds the rest.
    const std::string frames = "<FEATURES:15>history;drawing<MESSAGE:1>a<junk:0>"
                               "<QUESTLIST:43><STATICA><NAME>b</NAME><CAPTION>x</CAPTION><RELOG:0>"
                               "<QUEST:14><NAME>c</NAME><MESSAGE:1>d<BYE:11>stopping;bb";
    peer->write(frames.data(), static_cast<qint64>(frames.size()));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return link.Receiver().MessageQueue().size() == 7; }, kWaitMs));
    QTest::qWait(100);
    EXPECT_TRUE(received.items.empty()); // the message box is up: nothing is handed on
    EXPECT_TRUE(link.ServerOffered());
    EXPECT_TRUE(link.ServerFeatures().Has("drawing"));
    EXPECT_EQ(link.ClosingText(), "bb"); // known before the BYE is handed on
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer->bytesAvailable() >= 49; }, kWaitMs));
    EXPECT_EQ(peer->readAll().toStdString(), "<FEATURES:36>bye;device;history;drawing;solutions");

    held = false;
    link.DispatchWaiting(); // as the message box does when it closes
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.items.size() == 6; }, kWaitMs));
    EXPECT_EQ(received.items,
              (std::vector<std::string>{"M:a", "L:b;", "R", "Q:c", "M:d", "B:stopping/bb"}));
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

// A link is made at every start of the client, connected or not: until it connects it
// holds no socket (making one loads the TLS library), and sending or closing is harmless.
TEST(ServerLinkTest, ALinkNeverConnectedHoldsNoSocketAndSendsNothing) {
    ServerLink link;
    EXPECT_EQ(link.findChild<QSslSocket*>(), nullptr);
    link.Send("<GETQUESTLIST:1>1");
    link.CloseOnPurpose();
    EXPECT_FALSE(link.IsConnected());
    EXPECT_EQ(link.findChild<QSslSocket*>(), nullptr);

    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    link.ConnectTo(*ParseServerAddress("127.0.0.1:" + std::to_string(server.serverPort())));
    EXPECT_NE(link.findChild<QSslSocket*>(), nullptr);
    EXPECT_TRUE(server.waitForNewConnection(kWaitMs));
}
