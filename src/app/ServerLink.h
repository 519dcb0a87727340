#pragma once

#include "app/ConnectionState.h"
#include "app/ServerAddress.h"
#include "protocol/Frames.h"
#include "protocol/Messages.h"

#include <QAbstractSocket>
#include <QList>
#include <QObject>
#include <QSslCertificate>

#include <functional>
#include <string>
#include <vector>

class QSslError;
class QSslSocket;

// The connection to the testing server: the socket, the frame receiver with its bounded
// queue and the connection state. What the server sends is read as it arrives and cut
// into frames; the messages are handed on one per signal, in the order they came, as soon
// as they are whole, one at a time and none while the message box is up. A server that
// sends damaged data again and again, or more than the queue holds, is cut off with one
// report. An address written with "tls://" is reached encrypted: the server's certificate
// is checked against the system's authorities, or the ones the client was given, and a
// certificate that fails ends the connection before anything is sent.
//
// A server that offers FEATURES is answered with the client's own at once, so that they
// go before a LOGIN the client sends by itself; what both name is used from then on.
class ServerLink : public QObject {
    Q_OBJECT
public:
    explicit ServerLink(QObject* parent = nullptr);
    ~ServerLink() override;

    // Starts a new connection: nothing of the last server is read or handed on any more.
    void ConnectTo(const ServerAddress& address);
    // Encrypted connections trust only these authorities from now on, not the system's.
    void TrustOnly(const QList<QSslCertificate>& authorities) { authorities_ = authorities; }
    // Ends the connection without reporting its end.
    void CloseOnPurpose();
    // Hands one frame to the socket in one call; nothing is sent while not connected (for
    // an encrypted connection: before the certificate passed and the handshake ended).
    void Send(const std::string& frame);
    // Sends LOGIN, and says so on the state line.
    void LogIn(const LoginMessage& login);
    // LOGIN has been sent for this user (CP1251); the server asks for the login again.
    void LoginSent(const std::string& user);
    void LoginAsked();

    bool IsConnected() const { return connected_; }
    const ConnectionState& State() const { return state_; }
    const FrameReceiver& Receiver() const { return receiver_; }
    // Whether the server of this connection offers the student's history ("Мои ответы").
    bool OffersHistory() const { return connected_ && serverFeatures_.Has(kFeatureHistory); }
    // Whether the server of this connection shows solutions once the course allows ("Решение").
    bool OffersSolutions() const { return connected_ && serverFeatures_.Has(kFeatureSolutions); }
    // Whether the server of this connection sent FEATURES, and what it offered.
    bool ServerOffered() const { return serverOffered_; }
    const Features& ServerFeatures() const { return serverFeatures_; }
    // What the client offers in its answer to the server's FEATURES.
    static Features ClientFeatures();
    // Where the device tokens a server gives after a login are kept (CP1251 texts):
    // `find` gives the token kept for a server (its address as written), presented in the
    // answer to a server that offers "device", so that its next login is not slowed by
    // others' guesses at the account; `keep` keeps the one given after a login of `user`.
    struct DeviceTokens {
        std::function<std::string(const std::string& server)> find;
        std::function<void(const std::string& server, const std::string& user,
                           const std::string& token)>
            keep;
    };
    void KeepDeviceTokens(DeviceTokens tokens) { deviceTokens_ = std::move(tokens); }
    // Why the server said it closes this connection (BYE's text, CP1251), as soon as the
    // BYE has arrived, also while it waits behind the message box; empty when it has not.
    // The connection's end is reported with this text.
    const std::string& ClosingText() const { return closingText_; }
    // BYE's reason word with that text ("stopping", "evicted"; empty without a BYE).
    const std::string& ClosingReason() const { return closingReason_; }

    // While this says yes, the next message waits in the queue; once it says no again,
    // DispatchWaiting hands on what waits.
    void SetHoldWhile(std::function<bool()> held) { held_ = std::move(held); }
    // Hands on the messages waiting, in order, until none is left or the hold says yes.
    void DispatchWaiting();

signals:
    // The connection state changed: the state line shows it anew.
    void stateChanged();
    // The connection failed or was lost (not closed by the client): the report (CP1251)
    // is the owner's to show, in a box or on the state line. stateChanged follows.
    void connectionEnded(const std::string& report);
    // The connection is up: the login dialog comes next.
    void connectedToServer();
    // One signal per message, each given what the message carries.
    void taskListArrived(const std::vector<QuestListEntry>& entries);
    void taskArrived(const QuestSections& task);
    void messageArrived(const std::string& text);
    void loginRequested();
    // The server says why it is about to close the connection (BYE).
    void serverSaysBye(const ByeMessage& bye);
    // The client has answered the server's FEATURES with its own.
    void offerAnswered();
    // The student's earlier submissions at a task (HISTORY).
    void historyArrived(const HistoryMessage& history);
    // A task's solution (SOLUTION).
    void solutionArrived(const SolutionMessage& solution);
    // The solution of the task named (CP1251) may be asked for from now on (SOLUTIONREADY).
    void solutionOpened(const std::string& taskName);

private:
    void TcpConnected();
    void Connected();
    void Disconnected();
    void CertificateFailed(const QList<QSslError>& errors);
    void ReadSocket();
    void SocketError(QAbstractSocket::SocketError error);
    void CloseDamaged(ConnectionState::Verdict verdict);
    void DispatchLater();
    bool Held() const { return held_ && held_(); }
    // Emits the signal of the message's kind; a kind the client does not take is dropped.
    void Emit(const std::string& message);
    void AcceptLoginOn(MessageKind kind);
    void AnswerFeatures(std::string_view payload);

    QSslSocket& Socket();

    QSslSocket* socket_ = nullptr;       // made at the first connection
    QList<QSslCertificate> authorities_; // empty: the system's
    bool encrypted_ = false;             // the current connection is to be encrypted
    QString certificateReasons_;         // why the server's certificate failed the check
    FrameReceiver receiver_;
    ConnectionState state_;
    bool connected_ = false;
    bool serverOffered_ = false; // the server of this connection sent FEATURES
    Features serverFeatures_;
    std::string closingText_;   // the server's BYE text on this connection
    std::string closingReason_; // and its reason word
    std::string serverText_;    // the address of this connection, as written
    std::string loginUser_;     // the user of the last LOGIN sent
    DeviceTokens deviceTokens_;
    bool dispatching_ = false; // a message is being handed on: its receiver may run a loop
    std::function<bool()> held_;
};
